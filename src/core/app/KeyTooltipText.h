// The tooltip of a key button in the keyboard view: the key's name, and when the key is assigned,
// what it does now ("Set to: single key (B)").
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/config/KeyEntry.h"
#include "core/keys/MacroRecord.h"
#include "core/lang/TextLookup.h"

namespace brindle {

// The eleven functions a type-8 entry can hold, by payload: their string keys.
extern const std::array<std::u16string_view, 11> kKeyFunctionTextKeys;

// `name` is the key's display name (KeyNameByCode, or "G1".."G9" for the extra keys). With type
// 0 the name alone; otherwise the name, "IDS_KEY_PROMPT_SET" and by type: 2 the single-key
// prompt, the assigned key's name and ")"; 4 the macro prompt, the name of the first macro of
// `macros` whose id equals the payload (nothing when none does) and ")"; 7 the media prompt, the
// media key's name and ")"; 8 the function prompt, the function's text and ")". A media or
// function payload outside its list adds the prompt and ")" with nothing between.
std::u16string KeyTooltipText(std::u16string_view name, const KeyEntry& entry,
                              const MacroList& macros, const TextLookup& lookup);

// The display name an extra key n (0..8) goes by: "G1".."G9".
std::u16string ExtraKeyName(int extraKey);

} // namespace brindle
