// Operations on a macro list: naming and creating macros, finding a macro's keyboard position,
// and committing an edited list into the live configuration. The callers hold the live lock where
// a list belongs to the live context; nothing here locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/KeyEntry.h"
#include "core/keys/MacroRecord.h"
#include "core/lang/TextLookup.h"

namespace brindle {

// Language keys of the limit messages; both texts carry one "%d" for the limit.
inline constexpr std::u16string_view kMacroLimitTextKey = u"IDS_MACRO_ERR_MAX";
inline constexpr std::u16string_view kDelayLimitTextKey = u"IDS_MACRO_ACTION_ERR_DELAY_MAX";

// A name for a new macro: `prefix` followed by a decimal counter. `counter` is the dialog's own
// counter; it restarts at 0 when the list is empty and steps on until no existing name begins
// with the candidate (compared without regard to case), so a new name never prefix-matches one
// already there.
std::u16string NewMacroName(std::span<const std::u16string> existingNames,
                            std::u16string_view prefix, int& counter);
std::u16string NewMacroName(std::span<const MacroRecord> list, const TextLookup& lookup,
                            int& counter);

// A zeroed record named `name` (cut to 249 characters) with play count 1, new flag 1, repeat mode
// 0, no actions and the smallest id in 1..100 that no macro of `list` uses. Nothing when the list
// already holds 100 macros.
std::optional<MacroRecord> NewMacroRecord(std::u16string_view name,
                                          std::span<const MacroRecord> list);

// True while another macro may be added.
bool CanAddMacro(std::span<const MacroRecord> list);

// The list position of the first macro with `id`; 0 when none has it, so a key pointing at a
// missing macro plays the first one.
std::size_t MacroPositionOfId(std::span<const MacroRecord> list, std::uint16_t id);

// What committing a list changed in the key entries.
struct MacroCommitResult {
    std::vector<std::size_t> resetEntries; // entries set back to their default function
    bool keysChanged = false;              // an entry changed: the keyboard needs an Apply
};

// Installs the dialog's edited list as `live` and repairs the key entries that play macros.
// `entries` are all key entries of the live image (every page). An entry that plays macro id m:
//   m != 0 whose macro is gone, or was created since the last commit (its id was freed and given
//          to a new macro), goes back to its default function;
//   m == 0 while the list is not empty plays the first macro.
// The installed records have their new flag cleared.
MacroCommitResult CommitMacroList(MacroList edited, std::span<KeyEntry> entries, MacroList& live);

// A typed delay as the dialog keeps it: at most 40000 ms, cut down to a multiple of 10 ms.
struct TypedDelay {
    std::uint32_t delayMs = 0;
    bool overLimit = false; // the value was above 40000: show the limit message
};
TypedDelay NormalizeTypedDelay(long long typedMs);

// A typed play count brought into 1..255.
std::uint8_t ClampPlayCount(long long typed);

// The limit messages: the looked-up text with its "%d" replaced by the limit.
std::u16string MacroLimitText(const TextLookup& lookup);
std::u16string DelayLimitText(const TextLookup& lookup);

} // namespace brindle
