// Macro recording: turns the key events the keyboard hooks see while the dialog records into
// actions in the dialog's actions list. Pure logic fed with (event, time in ms); whoever installs
// the hooks calls in here and swallows or passes on each event as told. Runs on the user-interface
// thread only, so it takes no lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/keys/KeyTables.h"
#include "core/keys/MacroRecord.h"

namespace brindle {

// The rows of the dialog's actions list: each row's delay is the wait after its action. New rows
// go in after the selected row, or at the end when none is selected.
struct MacroActionRows {
    std::vector<MacroAction> actions;
    std::optional<std::size_t> selected;
};

// What the hook does with the event it was given.
enum class HookVerdict {
    PassOn,  // hand it to the next hook: the key keeps working
    Swallow, // consumed by the recorder: the dialog and the desktop never see it
};

class MacroRecorder {
public:
    // Recording writes into `rows`, which must outlive the recording. Time starts at `nowMs`.
    void StartRecording(MacroActionRows& rows, std::uint64_t nowMs);
    void StopRecording();
    bool IsRecording() const { return rows_ != nullptr; }

    // The record-delay setting: on keeps measured delays, off stores 50 ms for every event.
    void SetRecordDelay(bool on) { recordDelay_ = on; }
    bool RecordDelay() const { return recordDelay_; }

    // The keyboard hook of the user-interface thread: a virtual key and its keystroke flags (bit 30
    // the previous key state, bit 31 set for a release). Media keys and events without a key are
    // passed on; every other event is swallowed, auto-repeats without being recorded. A key that
    // reports only its release (Print Screen) is recorded as a press 2 ms before the release.
    HookVerdict OnThreadHook(std::uint32_t virtualKey, std::uint32_t keystrokeFlags,
                             std::uint64_t nowMs);
    // The same with the key already found: `repeat` marks an auto-repeated press.
    HookVerdict OnKeyEvent(KeyCode key, bool released, bool repeat, std::uint64_t nowMs);

    // The global hook, for the two Windows keys only (virtual keys 0x5B and 0x5C, recorded as
    // 0x15B and 0x15C), so they reach the recorder and not the desktop. `keyDown` is true for
    // key-down and system-key-down messages. Every other key is passed on.
    HookVerdict OnLowLevelHook(std::uint32_t virtualKey, bool keyDown, std::uint64_t nowMs);

    // Puts one event into the rows: with record-delay off the delay becomes 50 ms. The new row goes
    // after the selected one (or at the end) and becomes the selected row when there was one, so a
    // recorded sequence stays in order. Since each row holds the wait after its action, the delay
    // lands on the row above, and the new row takes over that row's previous delay; a new first row
    // gets 0. False (nothing added) when not recording or the list already holds 2000 actions.
    bool AddRecordedAction(std::uint32_t delayMs, KeyCode key, bool released);

private:
    std::uint32_t Elapsed(std::uint64_t nowMs) const;

    MacroActionRows* rows_ = nullptr;
    bool recordDelay_ = false;
    std::uint64_t lastMs_ = 0;
    std::uint32_t lastWindowsKeyDown_ = 0; // virtual key last pressed through the global hook
};

} // namespace brindle
