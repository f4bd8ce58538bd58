#include "core/keys/MacroRecorder.h"

#include <algorithm>
#include <limits>

namespace brindle {
namespace {

constexpr std::uint32_t kFlagPreviousDown = 1u << 30;
constexpr std::uint32_t kFlagReleased = 1u << 31;

constexpr std::uint32_t kVkLeftWindows = 0x5B;
constexpr std::uint32_t kVkRightWindows = 0x5C;
constexpr KeyCode kLeftWindowsKey = 0x15B;
constexpr KeyCode kRightWindowsKey = 0x15C;

} // namespace

void MacroRecorder::StartRecording(MacroActionRows& rows, std::uint64_t nowMs) {
    rows_ = &rows;
    lastMs_ = nowMs;
    lastWindowsKeyDown_ = 0;
}

void MacroRecorder::StopRecording() {
    rows_ = nullptr;
    lastWindowsKeyDown_ = 0;
}

std::uint32_t MacroRecorder::Elapsed(std::uint64_t nowMs) const {
    if (nowMs <= lastMs_)
        return 0;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(nowMs - lastMs_, std::numeric_limits<std::uint32_t>::max()));
}

HookVerdict MacroRecorder::OnThreadHook(std::uint32_t virtualKey, std::uint32_t keystrokeFlags,
                                        std::uint64_t nowMs) {
    const bool released = (keystrokeFlags & kFlagReleased) != 0;
    const bool repeat = !released && (keystrokeFlags & kFlagPreviousDown) != 0;
    return OnKeyEvent(HookEventToKeyCode(virtualKey, keystrokeFlags), released, repeat, nowMs);
}

HookVerdict MacroRecorder::OnKeyEvent(KeyCode key, bool released, bool repeat,
                                      std::uint64_t nowMs) {
    if (!IsRecording() || key == kNoKey || IsMediaKey(key))
        return HookVerdict::PassOn;
    if (repeat)
        return HookVerdict::Swallow;
    if (IsReleaseOnlyKey(key)) {
        // Windows reports these keys only on release; where a press does arrive it is dropped, or
        // the key would be recorded as pressed twice. The release is recorded as press + release,
        // both or neither, so a full list never keeps a press without its release.
        if (!released)
            return HookVerdict::Swallow;
        if (rows_->actions.size() + 2 > kMaxMacroActions) {
            lastMs_ = nowMs;
            return HookVerdict::Swallow;
        }
        AddRecordedAction(kReleaseOnlyPressDelayMs, key, false);
    }
    AddRecordedAction(Elapsed(nowMs), key, released);
    lastMs_ = nowMs;
    return HookVerdict::Swallow;
}

HookVerdict MacroRecorder::OnLowLevelHook(std::uint32_t virtualKey, bool keyDown,
                                          std::uint64_t nowMs) {
    if (!IsRecording() || (virtualKey != kVkLeftWindows && virtualKey != kVkRightWindows))
        return HookVerdict::PassOn;
    bool repeat = false;
    if (keyDown) {
        repeat = lastWindowsKeyDown_ == virtualKey;
        lastWindowsKeyDown_ = virtualKey;
    } else {
        lastWindowsKeyDown_ = 0;
    }
    if (repeat)
        return HookVerdict::Swallow;
    const KeyCode key = virtualKey == kVkLeftWindows ? kLeftWindowsKey : kRightWindowsKey;
    AddRecordedAction(Elapsed(nowMs), key, !keyDown);
    lastMs_ = nowMs;
    return HookVerdict::Swallow;
}

bool MacroRecorder::AddRecordedAction(std::uint32_t delayMs, KeyCode key, bool released) {
    if (!IsRecording())
        return false;
    std::vector<MacroAction>& actions = rows_->actions;
    if (actions.size() >= kMaxMacroActions)
        return false;
    if (!recordDelay_)
        delayMs = kFixedRecordDelayMs;

    std::size_t at = actions.size();
    if (rows_->selected && *rows_->selected < actions.size())
        at = *rows_->selected + 1;

    MacroAction action{0, key, released ? kActionReleased : kActionPressed};
    if (at > 0) {
        action.delayMs = actions[at - 1].delayMs;
        actions[at - 1].delayMs = delayMs;
    }
    actions.insert(actions.begin() + static_cast<std::ptrdiff_t>(at), action);
    if (rows_->selected)
        rows_->selected = at;
    return true;
}

} // namespace brindle
