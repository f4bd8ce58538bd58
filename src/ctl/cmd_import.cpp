// brindlectl import FILE: checks a profile file, loads it, saves it as the active profile's
// snapshot and writes all three profiles and the macros to the keyboard.
#include <cstdio>

#include "core/config/DeviceKeyboardMemory.h"
#include "core/config/KeyboardWriter.h"
#include "core/config/ProfileFile.h"
#include "core/config/ProfileStore.h"
#include "core/platform/Utf.h"
#include "ctl/CtlDevice.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

// Message boxes become lines on stderr.
class StderrMessages : public UserMessages {
public:
    void ShowInfo(const std::u16string& text) override {
        std::fprintf(stderr, "%s\n", Utf16ToUtf8(text).c_str());
    }
    bool AskYesNo(const std::u16string& text) override {
        ShowInfo(text);
        return false;
    }
};

int RunImport(CtlContext& context, const CtlArgs& args) {
    if (args.size() != 1)
        return UsageError(context, args.empty() ? "no file given" : "too many arguments");
    const std::string& path = args[0];
    CtlLanguage language;
    const TextLookup lookUp = language.CurrentLookup();
    StderrMessages messages;
    // An invalid file touches neither the keyboard nor the snapshot.
    if (ValidateProfileFile(path, &messages) != kProfileValid) {
        messages.ShowInfo(lookUp(u"IDS_MAIN_PROMPT_INPORT"));
        return kExitFailed;
    }
    std::unique_ptr<CtlDevice> device = CtlDevice::Open(context);
    if (device == nullptr)
        return kExitFailed;
    if (!device->Present())
        return ReportAbsent(*device);
    const KeyboardFacts facts = ReadKeyboardFacts(device->Protocol());
    DeviceKeyboardMemory keyboard(device->Protocol(), [&] { return facts.macroCapacity; });
    const ProfileStore store;
    ConfigContexts contexts;
    KeyboardWriteResult write;
    {
        std::lock_guard<std::mutex> guard(contexts.live.lock);
        ReleaseContents(contexts.live);
        if (LoadProfileFile(path, contexts.live) != 1) {
            std::fprintf(stderr, "brindlectl: %s cannot be read\n", path.c_str());
            return kExitFailed;
        }
        SaveSnapshot(contexts.live, store, keyboard.ActiveProfile(), false);
        write = SnapshotForWrite(contexts, keyboard, facts.factory, true);
    }
    ShowCollectedMessages(write.messages, lookUp, messages);
    if (write.result != 1) {
        std::fprintf(stderr, "brindlectl: writing the keyboard failed\n");
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("import", "FILE",
                   "write a profile file's three profiles and macros to the keyboard", &RunImport);

} // namespace brindle::ctl
