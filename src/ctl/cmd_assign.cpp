// brindlectl assign KEY TARGET [--profile P]: reads the keyboard into the active profile's
// snapshot, changes what one key does and writes it back as the main window's Apply does.
//
// TARGET: key NAME | macro NAME | media NAME | function N | disable | default
// KEY and NAME are key names (without regard to case); G1-G9 are the extra keys of the current
// bank. --profile changes profile P instead of the active one; all three profiles are then sent.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "core/config/DeviceKeyboardMemory.h"
#include "core/config/KeyAssignment.h"
#include "core/config/KeyboardWriter.h"
#include "core/config/ProfileStore.h"
#include "core/device/ApplyPath.h"
#include "core/keys/MacroBlock.h"
#include "core/platform/Utf.h"
#include "ctl/CtlDevice.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

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

// The main window as far as Apply needs it: there is always something to apply.
class CtlWindow : public MainWindowPort {
public:
    bool applyDisabled = false;
    intptr_t SendMessage(uint32_t, uintptr_t, intptr_t) override { return 0; }
    void PostMessage(uint32_t, uintptr_t, intptr_t) override {}
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void Hide() override {}
    void SetTrayIcon(int) override {}
    bool InitialisationFinished() override { return true; }
    bool ChangesPending() override { return true; }
    void DisableApply() override { applyDisabled = true; }
    void ShowBusyIndicator() override {}
    void HideBusyIndicator() override {}
};

std::optional<int> ParseNumber(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

int RunAssign(CtlContext& context, const CtlArgs& args) {
    std::vector<std::string> words;
    std::optional<int> profile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--profile" || args[i].rfind("--profile=", 0) == 0) {
            std::string value;
            if (args[i] == "--profile") {
                if (i + 1 >= args.size())
                    return UsageError(context, "--profile needs 0, 1 or 2");
                value = args[++i];
            } else {
                value = args[i].substr(10);
            }
            profile = ParseNumber(value, 0, 2);
            if (!profile)
                return UsageError(context, "profile must be 0, 1 or 2, not '" + value + "'");
        } else if (args[i].size() > 1 && args[i][0] == '-' && args[i][1] == '-') {
            return UsageError(context, "unknown option '" + args[i] + "'");
        } else {
            words.push_back(args[i]);
        }
    }
    if (words.size() < 2)
        return UsageError(context, "KEY and TARGET are needed");
    const std::string& kind = words[1];
    const bool takesName = KeyAssignmentTakesName(kind);
    if (takesName ? words.size() != 3 : words.size() != 2)
        return UsageError(context, takesName ? "'" + kind + "' needs one name or number"
                                             : "unexpected argument '" + words.back() + "'");
    const std::string name = takesName ? words[2] : std::string();

    CtlLanguage language;
    const TextLookup lookUp = language.CurrentLookup();
    std::unique_ptr<CtlDevice> device = CtlDevice::Open(context);
    if (device == nullptr)
        return kExitFailed;
    if (!device->Present())
        return ReportAbsent(*device);
    const int bank = device->Connection().BankStatus()[1] & 1;
    const std::optional<std::size_t> entry = KeyEntryByName(words[0], bank, lookUp);
    if (!entry)
        return UsageError(context, "no key named '" + words[0] + "'");
    std::string problem;
    if (!ParseKeyAssignment(kind, name, nullptr, lookUp, problem))
        return UsageError(context, problem);

    const KeyboardFacts facts = ReadKeyboardFacts(device->Protocol());
    DeviceKeyboardMemory keyboard(device->Protocol(), [&] { return facts.macroCapacity; });
    const ProfileStore store;
    ConfigContexts contexts;
    if (ReloadFromKeyboard(contexts.live, keyboard, store, facts.factory, NewMacroPrefix(lookUp)) !=
        1) {
        std::fprintf(stderr, "brindlectl: reading the keyboard failed\n");
        return kExitFailed;
    }
    const int active = keyboard.ActiveProfile();
    const int page = profile ? *profile : active;
    {
        std::lock_guard<std::mutex> guard(contexts.live.lock);
        const std::optional<KeyAssignment> target =
            ParseKeyAssignment(kind, name, &contexts.live.macros, lookUp, problem);
        if (!target) {
            std::fprintf(stderr, "brindlectl: %s on the keyboard\n", problem.c_str());
            return kExitFailed;
        }
        KeyEntry& e = contexts.live.image->pages[page].entries[*entry];
        e.type = target->type;
        e.payload = target->payload;
    }

    StderrMessages messages;
    if (page == active) {
        CtlWindow window;
        ApplyPath apply{contexts,
                        keyboard,
                        store,
                        window,
                        {},
                        lookUp,
                        &messages,
                        [&] { return facts.factory; },
                        std::chrono::milliseconds(0)};
        const ApplyResult result = RunApply(apply);
        if (!result.applied) {
            std::fprintf(stderr, "brindlectl: %s failed\n",
                         result.snapshotSaved != 1 ? "saving the snapshot"
                                                   : "writing the keyboard");
            return kExitFailed;
        }
        return kExitOk;
    }
    KeyboardWriteResult write;
    {
        std::lock_guard<std::mutex> guard(contexts.live.lock);
        SaveSnapshot(contexts.live, store, active, false);
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

BRINDLECTL_COMMAND("assign", "KEY TARGET [--profile P]",
                   "change one key (TARGET: key NAME, macro NAME, media NAME, function N, "
                   "disable, default) and apply it",
                   &RunAssign);

} // namespace brindle::ctl
