// How a brindlectl command reaches the keyboard: the backend chosen by --device (over
// BRINDLE_DEVICE), --demo's private virtual keyboard, --trace, the device service library from the
// program folder and the control channel that carries the answers.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/device/DeviceConnection.h"
#include "core/device/DeviceProtocol.h"
#include "core/device/HidServApi.h"
#include "ctl/CtlCommand.h"

namespace brindle::ctl {

class CtlDevice {
public:
    // Null after printing why to stderr (library missing, service not starting, demo keyboard
    // not starting). A keyboard that is absent is not an error here: see Present().
    static std::unique_ptr<CtlDevice> Open(const CtlContext& context);
    ~CtlDevice();

    DeviceProtocol& Protocol() { return *protocol_; }
    DeviceConnection& Connection() { return *connection_; }
    bool Present() { return protocol_->IsKeyboardPresent() > 0; }
    // The library's reason for an absent keyboard ("permission denied on /dev/hidraw3"), or "".
    std::string AbsentReason() const;

private:
    CtlDevice() = default;
    HidServApi api_;
    std::unique_ptr<DeviceProtocol> protocol_;
    std::unique_ptr<DeviceConnection> connection_;
};

// The folder of the running program (where libHidServ.so and brindle-kbdsim are).
std::string ProgramFolder();

// What a keyboard operation's result code means, e.g. "no matching answer after three attempts".
const char* ResultMeaning(int result);

// Prints "brindlectl: WHAT failed: result R (MEANING)" to stderr; returns kExitFailed.
int ReportFailure(const std::string& what, int result);

// Prints "brindlectl: keyboard not present[ (REASON)]" to stderr; returns kExitFailed.
int ReportAbsent(const CtlDevice& device);

} // namespace brindle::ctl
