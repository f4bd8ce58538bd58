#include "core/platform/SystemLanguage.h"

#include <cstdlib>
#include <string>

namespace brindle {

namespace {

constexpr uint16_t kEnglishUs = 0x0409;

struct LanguageEntry {
    std::string_view language; // ISO 639 code, lower case
    uint16_t id;               // the language's main identifier
};

// The main identifier of each language, used when the country has none of its own.
constexpr LanguageEntry kLanguages[] = {
    {"af", 0x0436}, {"am", 0x045E}, {"ar", 0x0401},  {"az", 0x042C}, {"be", 0x0423}, {"bg", 0x0402},
    {"bn", 0x0445}, {"bs", 0x141A}, {"ca", 0x0403},  {"cs", 0x0405}, {"cy", 0x0452}, {"da", 0x0406},
    {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409},  {"es", 0x0C0A}, {"et", 0x0425}, {"eu", 0x042D},
    {"fa", 0x0429}, {"fi", 0x040B}, {"fil", 0x0464}, {"fo", 0x0438}, {"fr", 0x040C}, {"ga", 0x083C},
    {"gl", 0x0456}, {"gu", 0x0447}, {"he", 0x040D},  {"hi", 0x0439}, {"hr", 0x041A}, {"hu", 0x040E},
    {"hy", 0x042B}, {"id", 0x0421}, {"is", 0x040F},  {"it", 0x0410}, {"ja", 0x0411}, {"ka", 0x0437},
    {"kk", 0x043F}, {"km", 0x0453}, {"kn", 0x044B},  {"ko", 0x0412}, {"lo", 0x0454}, {"lt", 0x0427},
    {"lv", 0x0426}, {"mk", 0x042F}, {"ml", 0x044C},  {"mn", 0x0450}, {"mr", 0x044E}, {"ms", 0x043E},
    {"mt", 0x043A}, {"nb", 0x0414}, {"ne", 0x0461},  {"nl", 0x0413}, {"nn", 0x0814}, {"no", 0x0414},
    {"pa", 0x0446}, {"pl", 0x0415}, {"pt", 0x0416},  {"ro", 0x0418}, {"ru", 0x0419}, {"sk", 0x041B},
    {"sl", 0x0424}, {"sq", 0x041C}, {"sr", 0x0C1A},  {"sv", 0x041D}, {"sw", 0x0441}, {"ta", 0x0449},
    {"te", 0x044A}, {"th", 0x041E}, {"tl", 0x0464},  {"tr", 0x041F}, {"uk", 0x0422}, {"ur", 0x0420},
    {"uz", 0x0443}, {"vi", 0x042A}, {"zh", 0x0804},
};

struct CountryEntry {
    std::string_view language;
    std::string_view country; // ISO 3166 code, upper case
    uint16_t id;
};

// Countries with an identifier of their own.
constexpr CountryEntry kCountries[] = {
    // Arabic
    {"ar", "SA", 0x0401},
    {"ar", "IQ", 0x0801},
    {"ar", "EG", 0x0C01},
    {"ar", "LY", 0x1001},
    {"ar", "DZ", 0x1401},
    {"ar", "MA", 0x1801},
    {"ar", "TN", 0x1C01},
    {"ar", "OM", 0x2001},
    {"ar", "YE", 0x2401},
    {"ar", "SY", 0x2801},
    {"ar", "JO", 0x2C01},
    {"ar", "LB", 0x3001},
    {"ar", "KW", 0x3401},
    {"ar", "AE", 0x3801},
    {"ar", "BH", 0x3C01},
    {"ar", "QA", 0x4001},
    // Chinese
    {"zh", "TW", 0x0404},
    {"zh", "CN", 0x0804},
    {"zh", "HK", 0x0C04},
    {"zh", "SG", 0x1004},
    {"zh", "MO", 0x1404},
    // German
    {"de", "DE", 0x0407},
    {"de", "CH", 0x0807},
    {"de", "AT", 0x0C07},
    {"de", "LU", 0x1007},
    {"de", "LI", 0x1407},
    // English; the Caribbean identifier 0x2409 has no country code of its own
    {"en", "US", 0x0409},
    {"en", "GB", 0x0809},
    {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409},
    {"en", "IE", 0x1809},
    {"en", "ZA", 0x1C09},
    {"en", "JM", 0x2009},
    {"en", "AG", 0x2409},
    {"en", "BS", 0x2409},
    {"en", "BB", 0x2409},
    {"en", "DM", 0x2409},
    {"en", "GD", 0x2409},
    {"en", "KN", 0x2409},
    {"en", "LC", 0x2409},
    {"en", "VC", 0x2409},
    {"en", "BZ", 0x2809},
    {"en", "TT", 0x2C09},
    {"en", "ZW", 0x3009},
    {"en", "PH", 0x3409},
    {"en", "IN", 0x4009},
    {"en", "MY", 0x4409},
    {"en", "SG", 0x4809},
    // Spanish; Spain is the modern sort
    {"es", "ES", 0x0C0A},
    {"es", "MX", 0x080A},
    {"es", "GT", 0x100A},
    {"es", "CR", 0x140A},
    {"es", "PA", 0x180A},
    {"es", "DO", 0x1C0A},
    {"es", "VE", 0x200A},
    {"es", "CO", 0x240A},
    {"es", "PE", 0x280A},
    {"es", "AR", 0x2C0A},
    {"es", "EC", 0x300A},
    {"es", "CL", 0x340A},
    {"es", "UY", 0x380A},
    {"es", "PY", 0x3C0A},
    {"es", "BO", 0x400A},
    {"es", "SV", 0x440A},
    {"es", "HN", 0x480A},
    {"es", "NI", 0x4C0A},
    {"es", "PR", 0x500A},
    {"es", "US", 0x540A},
    // French
    {"fr", "FR", 0x040C},
    {"fr", "BE", 0x080C},
    {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C},
    {"fr", "MC", 0x180C},
    // Italian, Dutch, Portuguese, Swedish
    {"it", "IT", 0x0410},
    {"it", "CH", 0x0810},
    {"nl", "NL", 0x0413},
    {"nl", "BE", 0x0813},
    {"pt", "BR", 0x0416},
    {"pt", "PT", 0x0816},
    {"sv", "SE", 0x041D},
    {"sv", "FI", 0x081D},
    // Others whose country changes the identifier
    {"ga", "IE", 0x083C},
    {"ms", "BN", 0x083E},
    {"ro", "MD", 0x0818},
    {"ru", "MD", 0x0819},
    {"sr", "RS", 0x281A},
    {"sr", "ME", 0x301A},
    {"sr", "BA", 0x1C1A},
    {"hr", "BA", 0x101A},
    {"bs", "BA", 0x141A},
    {"ur", "IN", 0x0820},
    {"bn", "BD", 0x0845},
    {"ne", "IN", 0x0861},
    {"ta", "LK", 0x0849},
    {"fa", "AF", 0x048C},
};

// Serbian written in Latin letters.
constexpr CountryEntry kSerbianLatin[] = {
    {"sr", "", 0x081A}, {"sr", "RS", 0x241A}, {"sr", "ME", 0x2C1A}, {"sr", "BA", 0x181A}};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    return out;
}

} // namespace

uint16_t LanguageIdFromLocale(std::string_view locale) {
    // language[_COUNTRY][.codeset][@modifier]; some systems write '-' for '_'.
    std::string_view modifier;
    if (const size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at + 1);
        locale = locale.substr(0, at);
    }
    if (const size_t dot = locale.find('.'); dot != std::string_view::npos)
        locale = locale.substr(0, dot);
    const size_t sep = locale.find_first_of("_-");
    const std::string language = Lower(locale.substr(0, sep));
    const std::string country =
        sep == std::string_view::npos ? std::string() : Upper(locale.substr(sep + 1));
    if (language.empty() || language == "c" || language == "posix")
        return kEnglishUs;

    if (language == "sr" && Lower(modifier) == "latin") {
        for (const CountryEntry& e : kSerbianLatin)
            if (e.country == country)
                return e.id;
        return kSerbianLatin[0].id;
    }
    for (const CountryEntry& e : kCountries)
        if (e.language == language && e.country == country)
            return e.id;
    for (const LanguageEntry& e : kLanguages)
        if (e.language == language)
            return e.id;
    return kEnglishUs;
}

uint16_t SystemDefaultLanguageId() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0')
            return LanguageIdFromLocale(value);
    }
    return kEnglishUs;
}

} // namespace brindle
