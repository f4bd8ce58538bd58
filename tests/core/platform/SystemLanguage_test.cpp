#include "core/platform/SystemLanguage.h"

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "core/lang/LanguageTables.h"

namespace brindle {
namespace {

TEST(SystemLanguage, LanguageIdFromLocale_mapsLanguageAndCountry) {
    struct Case {
        const char* locale;
        uint16_t id;
    };
    const Case cases[] = {
        {"en_US.UTF-8", 0x0409},
        {"en_GB.UTF-8", 0x0809},
        {"en_AU", 0x0C09},
        {"en_CA", 0x1009},
        {"en_NZ", 0x1409},
        {"en_IE", 0x1809},
        {"en_ZA", 0x1C09},
        {"en_JM", 0x2009},
        {"en_AG", 0x2409},
        {"en_BZ", 0x2809},
        {"en_TT", 0x2C09},
        {"es_ES.UTF-8", 0x0C0A},
        {"es_MX", 0x080A},
        {"es_GT", 0x100A},
        {"es_CR", 0x140A},
        {"es_PA", 0x180A},
        {"es_DO", 0x1C0A},
        {"es_VE", 0x200A},
        {"es_CO", 0x240A},
        {"es_PE", 0x280A},
        {"es_AR", 0x2C0A},
        {"es_EC", 0x300A},
        {"es_CL", 0x340A},
        {"es_UY", 0x380A},
        {"es_PY", 0x3C0A},
        {"es_BO", 0x400A},
        {"es_SV", 0x440A},
        {"es_HN", 0x480A},
        {"es_NI", 0x4C0A},
        {"es_PR", 0x500A},
        {"fr_FR", 0x040C},
        {"fr_BE", 0x080C},
        {"fr_CA", 0x0C0C},
        {"fr_CH", 0x100C},
        {"fr_LU", 0x140C},
        {"it_IT", 0x0410},
        {"it_CH", 0x0810},
        {"pt_BR.UTF-8", 0x0416},
        {"pt_PT", 0x0816},
        {"nl_NL", 0x0413},
        {"nl_BE", 0x0813},
        {"sv_SE", 0x041D},
        {"sv_FI", 0x081D},
        {"de_DE.UTF-8", 0x0407},
        {"de_CH", 0x0807},
        {"de_AT", 0x0C07},
        {"de_LU", 0x1007},
        {"de_LI", 0x1407},
        {"zh_TW.UTF-8", 0x0404},
        {"zh_CN", 0x0804},
        {"zh_HK", 0x0C04},
        {"zh_SG", 0x1004},
        {"tr_TR.UTF-8", 0x041F},
        {"id_ID", 0x0421},
        {"ko_KR.EUC-KR", 0x0412},
        {"ja_JP", 0x0411},
        {"ru_RU", 0x0419},
        // Forms and fallbacks
        {"de_DE@euro", 0x0407},
        {"en-GB", 0x0809},
        {"EN_gb", 0x0809},
        {"fr", 0x040C},
        {"de_BE", 0x0407},
        {"sr_RS@latin", 0x241A},
        {"C", 0x0409},
        {"C.UTF-8", 0x0409},
        {"POSIX", 0x0409},
        {"", 0x0409},
        {"xx_YY", 0x0409},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageIdFromLocale(c.locale), c.id) << c.locale;
}

TEST(SystemLanguage, EverySupportedAndSubstitutedLanguage_hasALocale) {
    // Each identifier the language choice knows must be reachable from some locale.
    const char* const locales[] = {
        "tr_TR", "fr_FR", "es_ES", "pt_BR", "nl_NL", "en_US", "id_ID", "ko_KR", "zh_TW",
        "zh_HK", "zh_SG", "es_MX", "es_GT", "es_CR", "es_PA", "es_DO", "es_VE", "es_CO",
        "es_PE", "es_AR", "es_EC", "es_CL", "es_UY", "es_PY", "es_BO", "es_SV", "es_HN",
        "es_NI", "es_PR", "fr_BE", "fr_CA", "fr_CH", "fr_LU", "it_CH", "pt_PT", "nl_BE",
        "sv_FI", "en_GB", "en_AU", "en_CA", "en_NZ", "en_IE", "en_ZA", "en_JM", "en_AG",
        "en_BZ", "en_TT", "de_CH", "de_AT", "de_LU", "de_LI"};
    std::vector<uint16_t> reached;
    for (const char* l : locales)
        reached.push_back(LanguageIdFromLocale(l));
    auto has = [&](uint16_t id) {
        return std::find(reached.begin(), reached.end(), id) != reached.end();
    };
    for (size_t i = 0; i < kLanguageCount; ++i)
        EXPECT_TRUE(has(kLanguageIds[i])) << std::hex << kLanguageIds[i];
    for (const LanguageFallback& f : kLanguageFallbacks)
        EXPECT_TRUE(has(f.from)) << std::hex << f.from;
}

TEST(SystemLanguage, SystemDefaultLanguageId_takesLcAllThenLcMessagesThenLang) {
    using test::ScopedEnv;
    ScopedEnv all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr), lang("LANG", nullptr);
    EXPECT_EQ(SystemDefaultLanguageId(), 0x0409);
    setenv("LANG", "fr_CA.UTF-8", 1);
    EXPECT_EQ(SystemDefaultLanguageId(), 0x0C0C);
    setenv("LC_MESSAGES", "nl_BE.UTF-8", 1);
    EXPECT_EQ(SystemDefaultLanguageId(), 0x0813);
    setenv("LC_ALL", "", 1); // empty counts as unset
    EXPECT_EQ(SystemDefaultLanguageId(), 0x0813);
    setenv("LC_ALL", "zh_HK.UTF-8", 1);
    EXPECT_EQ(SystemDefaultLanguageId(), 0x0C04);
    setenv("LC_ALL", "POSIX", 1);
    EXPECT_EQ(SystemDefaultLanguageId(), 0x0409);
}

} // namespace
} // namespace brindle
