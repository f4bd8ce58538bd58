// brindlectl profile [N]: prints the keyboard's active profile (0, 1 or 2), or makes N active.
#include <cstdio>
#include <string>

#include "ctl/CtlDevice.h"

namespace brindle::ctl {

namespace {

int RunProfile(CtlContext& context, const CtlArgs& args) {
    if (args.size() > 1)
        return UsageError(context, "unexpected argument '" + args[1] + "'");
    int profile = -1;
    if (!args.empty()) {
        if (args[0].size() != 1 || args[0][0] < '0' || args[0][0] > '2')
            return UsageError(context, "profile must be 0, 1 or 2, not '" + args[0] + "'");
        profile = args[0][0] - '0';
    }
    std::unique_ptr<CtlDevice> device = CtlDevice::Open(context);
    if (device == nullptr)
        return kExitFailed;
    if (!device->Present())
        return ReportAbsent(*device);
    DeviceProtocol& protocol = device->Protocol();
    if (profile < 0) {
        uint8_t settings[kSettingsBlockSize] = {};
        const int r = protocol.ReadSettingsBlock(settings);
        if (r != result::kSuccess)
            return ReportFailure("reading the settings block", r);
        std::printf("%d\n", settings[10]);
        return kExitOk;
    }
    const int r = protocol.SetActiveProfile(profile);
    if (r != result::kSuccess)
        return ReportFailure("setting the active profile", r);
    std::printf("%d\n", profile);
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("profile", "[N]", "print the active profile, or make profile N (0-2) active",
                   &RunProfile);

} // namespace brindle::ctl
