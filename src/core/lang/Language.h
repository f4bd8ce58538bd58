// The user's language: chosen once per user and kept in the per-user settings key, and the texts
// of the language files beside the program, looked up by string key. Every lookup reads the file
// again; nothing is cached, so a changed language file shows at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/lang/TextLookup.h"
#include "core/platform/KeyStore.h"

namespace brindle {

// The three main window tooltips of the skin language file.
struct SkinLanguageTexts {
    std::u16string minimizePrompt; // "MAIN_MINIMIZE_PROMPT"
    std::u16string menuPrompt;     // "MAIN_MENU_PROMPT"
    std::u16string closePrompt;    // "MAIN_CLOSE_PROMPT"
};

class Language {
public:
    using SystemLanguageFunction = std::function<uint16_t()>;

    // `programFolder` ends with '/'; `settings` is the per-user settings key that holds
    // "dwLanguageId" and must outlive this object.
    Language(std::string programFolder, KeyStore& settings,
             SystemLanguageFunction systemLanguage = nullptr);

    // The stored "dwLanguageId". When none is stored (or 0), the system language mapped through
    // kLanguageFallbacks, with anything not supported replaced by Turkish (0x041F); that choice
    // is stored. A stored identifier that is not supported is returned and kept unchanged.
    uint32_t GetLanguageId();
    // Position of GetLanguageId() in kLanguageIds (0..8); 0 when it is not there.
    int GetLanguageIndex();
    // programFolder + "Lang%04X.ini" for the identifier of `index`; an index outside 0..9 counts
    // as 0.
    std::string LanguageFileName(int index) const;

    // Key `key` of section "TEXT" of the language file of `index` (outside 0..9 counts as 0), at
    // most 259 characters; "#Error" when the file or the key is missing, the empty text when the
    // key has an empty value.
    std::u16string LookUpText(std::u16string_view key, int index) const;
    // Key `number` ("1".."20") of section "Mode": the name of a lighting effect.
    std::u16string LookUpModeName(int number, int index) const;
    // LookUpText bound to one language index.
    TextLookup Lookup(int index) const;

    // Key "language" of section "LANGUAGE" of Skins/language.ini as a decimal number; 0 when the
    // file or the key is missing. 1 selects English, anything else Chinese.
    int ReadSkinLanguage() const;
    // The three tooltips from section "ENGINSH" when ReadSkinLanguage() is 1, else "CHINESE";
    // " " for each one that is missing.
    SkinLanguageTexts ReadSkinLanguageTexts() const;

    const std::string& ProgramFolder() const { return programFolder_; }

private:
    std::string programFolder_;
    KeyStore& settings_;
    SystemLanguageFunction systemLanguage_;
};

} // namespace brindle
