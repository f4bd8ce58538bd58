// The keys of the keyboard picture as the main window needs them: the 105 key buttons in their
// fixed order and the nine extra keys, each with its control id. Kept apart from the key tables'
// header so window code does not pull in the whole key code machinery.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/lang/TextLookup.h"

namespace brindle {

constexpr std::size_t kViewKeyCount = 105;
constexpr std::size_t kViewExtraKeyCount = 9;

struct ViewKey {
    std::uint16_t controlId;
    std::uint16_t keyCode; // KeyCode: the set-1 scan code, + 0x100 for E0 keys
    std::uint8_t keyIndex; // its compact form: the entry of the key in a key page
};

// Position 0..104 of the view.
ViewKey KeyViewButton(std::size_t position);
// Control id of extra key n (0..8).
std::uint16_t KeyViewExtraKeyId(std::size_t extraKey);
// The key's display name in the lookup's language.
std::u16string KeyViewName(std::uint16_t keyCode, const TextLookup& lookup);

} // namespace brindle
