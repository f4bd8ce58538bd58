// The main window's Apply: with the busy indicator showing, save the live image to the active
// profile's snapshot file and write the active profile to the keyboard, both under the live lock;
// Apply is disabled only when both succeed. Messages raised by the write are shown after the lock
// is released, so the GUI thread is never waited on while the lock is held.
#pragma once

#include <chrono>
#include <functional>

#include "core/config/ConfigContext.h"
#include "core/config/DeviceKeyTable.h"
#include "core/config/KeyboardMemory.h"
#include "core/config/ProfileStore.h"
#include "core/device/MainWindowPort.h"
#include "core/lang/TextLookup.h"
#include "core/platform/UserMessages.h"

namespace brindle {

struct ApplyPath {
    ConfigContexts& contexts;
    KeyboardMemory& keyboard;
    const ProfileStore& store;
    MainWindowPort& window;
    // Hands a message to the busy-indicator thread (1025 show, 1026 hide); may be empty.
    std::function<void(int)> postBusy;
    TextLookup lookUp;
    UserMessages* messages = nullptr;
    // The factory table in use (the keyboard's own once read).
    std::function<DeviceKeyTable()> factory;
    // Pause between starting the indicator and showing it.
    std::chrono::milliseconds showDelay{100};
};

struct ApplyResult {
    bool ran = false;      // changes were pending, so the save and the write ran
    int snapshotSaved = 0; // SaveSnapshot's result
    int keyboardWrite = 0; // the keyboard write's result
    bool applied = false;  // both succeeded: Apply was disabled
};

// Runs on the thread that handles the Apply command.
ApplyResult RunApply(ApplyPath& apply);

// The keyboard write of an import, on the thread that runs it, once the file is in the live
// context: with the busy indicator showing and under the live lock, the active profile's snapshot
// file is saved and all three profiles and the macros go to the keyboard; messages raised by the
// write are shown after the lock is released. The keyboard write's result (1 when everything was
// written).
int RunImportWrite(ApplyPath& apply);

// The keyboard's contents into the active profile's snapshot and the live context (a default
// image when the keyboard cannot be read); `underLock` redraws the keyboard view before the live
// lock is released. Apply is disabled afterwards unless `keepApply` is set. 1 when the keyboard's
// contents were loaded.
int ReloadIntoLive(ApplyPath& apply, bool keepApply, const std::function<void()>& underLock = {});

} // namespace brindle
