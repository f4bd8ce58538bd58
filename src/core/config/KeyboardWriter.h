// Writing the configuration to the keyboard: a snapshot of the live context goes into the working
// context, the macros are packed into the keyboard's macro area, the active profile's page (or all
// three) is converted into key tables, and everything is sent in one transfer group.
#pragma once

#include <string>
#include <vector>

#include "core/config/ConfigContext.h"
#include "core/config/DeviceKeyTable.h"
#include "core/config/KeyboardMemory.h"
#include "core/lang/TextLookup.h"
#include "core/platform/UserMessages.h"

namespace brindle {

// Language keys of the two macro-room messages.
inline constexpr std::u16string_view kMacroOverTextKey = u"IDS_MACRO_OVER";
inline constexpr std::u16string_view kProfileSpaceTightTextKey = u"EXTRA_PROFILE_SPACE_TIGHT";

struct KeyboardWriteResult {
    // 1 when the macro area and every key table were written, 0 otherwise.
    int result = 0;
    // Language keys of the messages to show once every configuration lock is released.
    std::vector<std::u16string> messages;
};

// Sends the working context: the macro area (with names when they fit the keyboard's capacity,
// else without names and a "EXTRA_PROFILE_SPACE_TIGHT" message; when even that does not fit,
// nothing at all is sent and the message is "IDS_MACRO_OVER"), then the key table of the active
// profile or of profiles 0, 1 and 2. A single-profile write while the keyboard cannot tell its
// active profile sends nothing and fails. Takes the working lock around reading the context and
// sends with it released.
KeyboardWriteResult WriteKeyboard(ConfigContext& working, KeyboardMemory& keyboard,
                                  const DeviceKeyTable& factory, bool allProfiles);

// Copies the live context into the working one (the live image's text entries get their pool
// offsets, as a save gives them) and calls WriteKeyboard. The caller holds the live lock, or is
// otherwise sure nobody edits meanwhile; the working lock is taken here.
KeyboardWriteResult SnapshotForWrite(ConfigContexts& contexts, KeyboardMemory& keyboard,
                                     const DeviceKeyTable& factory, bool allProfiles);

// Shows collected messages, each looked up by its key. Call with no configuration lock held.
void ShowCollectedMessages(const std::vector<std::u16string>& keys, const TextLookup& lookUp,
                           UserMessages& messages);

} // namespace brindle
