// The record-delay setting: whether recording keeps the measured time between key events (1) or
// stores 50 ms for each (0). A decimal string in the application's "PROFILES" section under the
// entry named by the text of IDS_MACRO_ACTION_RECORD_DELAY; a missing entry means 0.
#pragma once

#include <string>
#include <string_view>

#include "core/keys/MacroSettingStore.h"
#include "core/lang/TextLookup.h"

namespace brindle {

inline constexpr std::u16string_view kRecordDelaySection = u"PROFILES";
inline constexpr std::u16string_view kRecordDelayTextKey = u"IDS_MACRO_ACTION_RECORD_DELAY";

// The entry name: the looked-up text, or the string key itself when the text is empty (an empty
// entry name cannot be stored).
std::u16string RecordDelayEntryName(const TextLookup& lookup);

// The stored value's leading decimal number; 0 when missing or without digits.
int ReadRecordDelay(MacroSettingStore& store, const TextLookup& lookup);

// Stores "1" for 1 and "0" for any other value.
bool WriteRecordDelay(MacroSettingStore& store, const TextLookup& lookup, int value);

} // namespace brindle
