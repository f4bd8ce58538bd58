#include "core/device/ApplyPath.h"

#include <thread>

#include "core/config/FactoryKeyTable.h"
#include "core/config/KeyboardWriter.h"
#include "core/keys/MacroBlock.h"

namespace brindle {

namespace {

// Busy-indicator thread messages (as DeviceConnection numbers them).
constexpr int kShowBusy = 1025;
constexpr int kHideBusy = 1026;

} // namespace

ApplyResult RunApply(ApplyPath& apply) {
    ApplyResult result;
    if (apply.showDelay.count() > 0)
        std::this_thread::sleep_for(apply.showDelay);
    if (apply.postBusy)
        apply.postBusy(kShowBusy);
    if (apply.window.ChangesPending()) {
        result.ran = true;
        const DeviceKeyTable factory = apply.factory ? apply.factory() : FactoryKeyTable::Current();
        KeyboardWriteResult write;
        {
            std::lock_guard<std::mutex> guard(apply.contexts.live.lock);
            result.snapshotSaved = SaveSnapshot(apply.contexts.live, apply.store,
                                                apply.keyboard.ActiveProfile(), false);
            write = SnapshotForWrite(apply.contexts, apply.keyboard, factory, false);
        }
        result.keyboardWrite = write.result;
        if (apply.messages != nullptr)
            ShowCollectedMessages(write.messages, apply.lookUp, *apply.messages);
        if (result.snapshotSaved == 1 && result.keyboardWrite == 1) {
            apply.window.DisableApply();
            result.applied = true;
        }
    }
    if (apply.postBusy)
        apply.postBusy(kHideBusy);
    return result;
}

int RunImportWrite(ApplyPath& apply) {
    if (apply.showDelay.count() > 0)
        std::this_thread::sleep_for(apply.showDelay);
    if (apply.postBusy)
        apply.postBusy(kShowBusy);
    const DeviceKeyTable factory = apply.factory ? apply.factory() : FactoryKeyTable::Current();
    KeyboardWriteResult write;
    {
        std::lock_guard<std::mutex> guard(apply.contexts.live.lock);
        SaveSnapshot(apply.contexts.live, apply.store, apply.keyboard.ActiveProfile(), false);
        write = SnapshotForWrite(apply.contexts, apply.keyboard, factory, true);
    }
    if (apply.messages != nullptr)
        ShowCollectedMessages(write.messages, apply.lookUp, *apply.messages);
    if (apply.postBusy)
        apply.postBusy(kHideBusy);
    return write.result;
}

int ReloadIntoLive(ApplyPath& apply, bool keepApply, const std::function<void()>& underLock) {
    const DeviceKeyTable factory = apply.factory ? apply.factory() : FactoryKeyTable::Current();
    const int loaded = ReloadFromKeyboard(apply.contexts.live, apply.keyboard, apply.store, factory,
                                          NewMacroPrefix(apply.lookUp), underLock);
    if (!keepApply)
        apply.window.DisableApply();
    return loaded;
}

} // namespace brindle
