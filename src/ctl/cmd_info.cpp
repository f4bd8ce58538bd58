// brindlectl info: whether the keyboard is there (and why not), its active profile, macro capacity,
// supported lighting effect codes and the extra-key bank.
#include <cstdio>
#include <string>

#include "ctl/CtlDevice.h"

namespace brindle::ctl {

namespace {

int RunInfo(CtlContext& context, const CtlArgs& args) {
    if (!args.empty())
        return UsageError(context, "unexpected argument '" + args[0] + "'");
    std::unique_ptr<CtlDevice> device = CtlDevice::Open(context);
    if (device == nullptr)
        return kExitFailed;
    if (!device->Present()) {
        const std::string why = device->AbsentReason();
        std::printf("keyboard: not present%s%s%s\n", why.empty() ? "" : " (", why.c_str(),
                    why.empty() ? "" : ")");
        return kExitFailed;
    }
    uint8_t settings[kSettingsBlockSize] = {};
    const int r = device->Protocol().ReadSettingsBlock(settings);
    if (r != result::kSuccess)
        return ReportFailure("reading the settings block", r);

    std::printf("keyboard: present\n");
    std::printf("active profile: %d\n", settings[10]);
    std::printf("macro capacity: %d bytes\n", settings[11] * 128);
    // Bytes 12-43 list the effect codes the keyboard supports; 0 ends the list.
    std::string effects;
    for (size_t i = 12; i < kSettingsBlockSize && settings[i] != 0; ++i)
        effects += (effects.empty() ? "" : " ") + std::to_string(settings[i]);
    std::printf("effect codes: %s\n", effects.empty() ? "none" : effects.c_str());
    // Bit 0 of the second bank status byte selects the extra keys' entries; the keyboard does not
    // report it, so this is the status the program sets when it starts.
    const bool second = (device->Connection().BankStatus()[1] & 1) != 0;
    std::printf("extra-key bank: %d (entries %s)\n", second ? 1 : 0,
                second ? "265-273" : "256-264");
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("info", "", "show the keyboard: presence, profile, macro capacity, effects",
                   &RunInfo);

} // namespace brindle::ctl
