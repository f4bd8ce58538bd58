// The process-wide record shared by the main window, its worker threads and the dialogs. Every
// field is a single 32-bit value read and written without a lock, from any thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace brindle {

struct MainShared {
    std::atomic<int32_t> controlReadRequest{0}; // request id of the control channel's lasting read
    std::atomic<int32_t> unused1{0};
    std::atomic<int32_t> unused2{0};
    std::atomic<intptr_t> mainWindow{0};     // the main window, set by its initialisation
    std::atomic<intptr_t> mainDialog{0};     // the one main dialog object
    std::atomic<int32_t> leftArrowShown{0};  // 0/1: redraw the left arrow when its flip paints
    std::atomic<int32_t> rightArrowShown{0}; // 0/1: the same for the right arrow
    std::atomic<int32_t> autoShowDone{0};    // 1: do not pop up on the first keyboard detection
    std::atomic<int32_t> unused8{0};
    std::atomic<intptr_t> instanceMutex{0}; // the instance lock object while held
    std::atomic<int32_t> colourKeysMode{0}; // 0: a key click assigns, 1: it toggles the light flag
    std::atomic<int32_t> currentProfile{0}; // cached on-board profile index, -1 = not yet read
    std::atomic<int32_t> statusValue{0};    // from the status reply on attach
    std::atomic<int32_t> keyboardDetected{0}; // 0/1
    std::atomic<int32_t> unused14{0};
    std::atomic<intptr_t> settingsKey{0}; // the per-user settings key object
};

// The one record of the running program. Code that can take a MainShared& should; this exists for
// the places that are reached without one (the program's entry and its window).
MainShared& ProcessMainShared();

} // namespace brindle
