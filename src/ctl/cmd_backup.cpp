// brindlectl backup FILE: reads the keyboard's three profiles and its macros into a profile file.
#include <cstdio>

#include "core/config/DeviceKeyboardMemory.h"
#include "core/config/ProfileStore.h"
#include "core/keys/MacroBlock.h"
#include "ctl/CtlDevice.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

int RunBackup(CtlContext& context, const CtlArgs& args) {
    if (args.size() != 1)
        return UsageError(context, args.empty() ? "no file given" : "too many arguments");
    std::unique_ptr<CtlDevice> device = CtlDevice::Open(context);
    if (device == nullptr)
        return kExitFailed;
    if (!device->Present())
        return ReportAbsent(*device);
    const KeyboardFacts facts = ReadKeyboardFacts(device->Protocol());
    DeviceKeyboardMemory keyboard(device->Protocol(), [&] { return facts.macroCapacity; });
    CtlLanguage language;
    const std::u16string prefix = NewMacroPrefix(language.CurrentLookup());
    if (ReadKeyboardToFile(keyboard, args[0], facts.factory, prefix) != 1) {
        std::fprintf(stderr, "brindlectl: reading the keyboard into %s failed\n", args[0].c_str());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("backup", "FILE", "read the keyboard's profiles and macros into a profile file",
                   &RunBackup);

} // namespace brindle::ctl
