// brindlectl boot --yes: sends the boot-mode report. The keyboard then leaves the bus and waits for
// a firmware updater until it is plugged in again, hence the explicit --yes.
#include <cstdio>
#include <string>

#include "ctl/CtlDevice.h"

namespace brindle::ctl {

namespace {

int RunBoot(CtlContext& context, const CtlArgs& args) {
    if (args.size() != 1 || args[0] != "--yes")
        return UsageError(context, "boot mode takes the keyboard off until it is plugged in "
                                   "again; confirm with --yes");
    std::unique_ptr<CtlDevice> device = CtlDevice::Open(context);
    if (device == nullptr)
        return kExitFailed;
    if (!device->Present())
        return ReportAbsent(*device);
    // Nothing answers this report: the library's write result is all there is.
    const int r = device->Protocol().EnterBootMode();
    if (r != result::kSuccess)
        return ReportFailure("sending the boot-mode report", r);
    std::printf("boot-mode report sent\n");
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("boot", "--yes", "switch the keyboard into boot mode for a firmware update",
                   &RunBoot);

} // namespace brindle::ctl
