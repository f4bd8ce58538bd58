// Key assignments named in words, as a command line gives them: which entry a key name means and
// which entry type and payload a target such as "key B" or "media Mute" stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/keys/MacroRecord.h"
#include "core/lang/TextLookup.h"

namespace brindle {

struct KeyAssignment {
    std::uint16_t type = 0; // KeyEntryType
    std::uint32_t payload = 0;
};

// The key page entry of a key name (compared without regard to case): a key of the key table,
// or G1-G9 for the extra keys of `bank` (0 or 1).
std::optional<std::size_t> KeyEntryByName(const std::string& name, int bank,
                                          const TextLookup& lookUp);

// The assignment for a target: "key" NAME, "macro" NAME (a macro of `macros` by name, compared
// without regard to case), "media" NAME (one of the media keys), "function" N (0-10), "disable"
// or "default" (no name). Nothing, with the reason in `problem`, for a target that names nothing.
// With `macros` null a macro target is only checked for its form.
std::optional<KeyAssignment> ParseKeyAssignment(const std::string& kind, const std::string& name,
                                                const MacroList* macros, const TextLookup& lookUp,
                                                std::string& problem);

// True for the targets that take a name or number.
bool KeyAssignmentTakesName(const std::string& kind);

} // namespace brindle
