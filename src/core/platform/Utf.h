// Conversions between the UTF-16 texts the stored formats use and the UTF-8 the system speaks.
#pragma once

#include <string>
#include <string_view>

namespace brindle {

// Invalid sequences become U+FFFD; nothing throws.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Shorthand for ASCII literals in code: u"..." works too, this reads better for runtime strings.
inline std::u16string U16(std::string_view ascii) {
    return Utf8ToUtf16(ascii);
}

} // namespace brindle
