#include "core/lang/Language.h"

#include <cstdio>

#include "core/lang/LanguageTables.h"
#include "core/platform/IniFile.h"
#include "core/platform/SystemLanguage.h"
#include "core/platform/Utf.h"

namespace brindle {

namespace {

constexpr std::u16string_view kLanguageValue = u"dwLanguageId";
constexpr size_t kTextBuffer = 260; // language file values hold at most 259 characters

int ClampIndex(int index) {
    return (index < 0 || index > kHighestLanguageIndex) ? 0 : index;
}

bool IsSupported(uint32_t id) {
    for (int i = 0; i < kLanguageCount; ++i)
        if (kLanguageIds[static_cast<size_t>(i)] == id)
            return true;
    return false;
}

} // namespace

Language::Language(std::string programFolder, KeyStore& settings,
                   SystemLanguageFunction systemLanguage)
    : programFolder_(std::move(programFolder)), settings_(settings),
      systemLanguage_(systemLanguage ? std::move(systemLanguage) : SystemDefaultLanguageId) {
    if (!programFolder_.empty() && programFolder_.back() != '/')
        programFolder_.push_back('/');
}

uint32_t Language::GetLanguageId() {
    if (const auto stored = settings_.ReadDword(kLanguageValue); stored && *stored != 0)
        return *stored;
    uint32_t id = systemLanguage_();
    for (const LanguageFallback& f : kLanguageFallbacks) {
        if (f.from == id) {
            id = f.to;
            break;
        }
    }
    // Index 9's identifier 0 is no language: storing it would mean "not chosen yet".
    if (!IsSupported(id))
        id = kFallbackLanguageId;
    settings_.WriteDword(kLanguageValue, id);
    return id;
}

int Language::GetLanguageIndex() {
    const uint32_t id = GetLanguageId();
    for (int i = 0; i < kLanguageCount; ++i)
        if (kLanguageIds[static_cast<size_t>(i)] == id)
            return i;
    return 0;
}

std::string Language::LanguageFileName(int index) const {
    char name[16];
    std::snprintf(name, sizeof name, "Lang%04X.ini",
                  static_cast<unsigned>(kLanguageIds[static_cast<size_t>(ClampIndex(index))]));
    return programFolder_ + name;
}

std::u16string Language::LookUpText(std::u16string_view key, int index) const {
    return ReadIniString(LanguageFileName(index), u"TEXT", key, u"#Error", kTextBuffer);
}

std::u16string Language::LookUpModeName(int number, int index) const {
    return ReadIniString(LanguageFileName(index), u"Mode", Utf8ToUtf16(std::to_string(number)),
                         u"#Error", kTextBuffer);
}

TextLookup Language::Lookup(int index) const {
    return [this, index](std::u16string_view key) { return LookUpText(key, index); };
}

int Language::ReadSkinLanguage() const {
    return IniTextToInt(ReadIniString(programFolder_ + "Skins/language.ini", u"LANGUAGE",
                                      u"language", u" ", kTextBuffer));
}

SkinLanguageTexts Language::ReadSkinLanguageTexts() const {
    const std::string file = programFolder_ + "Skins/language.ini";
    const std::u16string_view section = ReadSkinLanguage() == 1 ? u"ENGINSH" : u"CHINESE";
    const auto doc = IniDocument::LoadFile(file);
    const IniDocument empty;
    const IniDocument& d = doc ? *doc : empty;
    return SkinLanguageTexts{d.ReadString(section, u"MAIN_MINIMIZE_PROMPT", u" ", kTextBuffer),
                             d.ReadString(section, u"MAIN_MENU_PROMPT", u" ", kTextBuffer),
                             d.ReadString(section, u"MAIN_CLOSE_PROMPT", u" ", kTextBuffer)};
}

} // namespace brindle
