// The Windows language identifier (primary language in bits 0-9, country or script in bits 10-15)
// of the user's locale, in place of GetSystemDefaultLangID.
#pragma once

#include <cstdint>
#include <string_view>

namespace brindle {

// "en_GB.UTF-8" -> 0x0809, "es_MX" -> 0x080A, "pt" -> 0x0416. The codeset and a modifier are
// ignored, except "@latin" for Serbian. A known language with a country that has no identifier of
// its own gives the language's main identifier. "C", "POSIX", the empty text and languages
// without an identifier give 0x0409 (English, United States), the language the program falls back
// to anyway.
uint16_t LanguageIdFromLocale(std::string_view locale);

// The locale of the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty.
uint16_t SystemDefaultLanguageId();

} // namespace brindle
