#include "ctl/CtlDevice.h"

#include "core/app/DemoKeyboard.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brindle::ctl {

namespace {

void Trace(const char* direction, const uint8_t* report) {
    char line[kReportSize * 3 + 4];
    size_t at = 0;
    line[at++] = direction[0] == 's' ? '>' : '<';
    for (size_t i = 0; i < kReportSize; ++i)
        at += static_cast<size_t>(std::snprintf(line + at, sizeof(line) - at, " %02x", report[i]));
    line[at++] = '\n';
    line[at] = '\0';
    std::fputs(line, stderr);
}

// The real keyboard answers within milliseconds; tests that make the virtual keyboard drop answers
// shorten the wait with BRINDLE_ANSWER_TIMEOUT_MS instead of waiting whole seconds.
ExchangeSettings CtlExchangeSettings() {
    ExchangeSettings settings;
    const char* value = std::getenv("BRINDLE_ANSWER_TIMEOUT_MS");
    if (value != nullptr) {
        char* end = nullptr;
        const long ms = std::strtol(value, &end, 10);
        if (end != value && *end == '\0' && ms > 0 && ms <= 60000)
            settings.answerTimeout = std::chrono::milliseconds(ms);
    }
    return settings;
}

} // namespace

std::string ProgramFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return ".";
    std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash == 0 ? 1 : slash);
}

std::unique_ptr<CtlDevice> CtlDevice::Open(const CtlContext& context) {
    const CtlOptions& options = context.options;
    if (options.demo) {
        // The same private keyboard as `brindle --demo`, so both see one memory.
        std::string problem;
        const std::string device = StartDemoKeyboard(ProgramFolder(), DefaultDemoKeyboardPlaces(),
                                                     &problem, std::chrono::milliseconds(5000));
        if (device.empty()) {
            std::fprintf(stderr, "brindlectl: %s\n", problem.c_str());
            return nullptr;
        }
        setenv("BRINDLE_DEVICE", device.c_str(), 1);
    } else if (!options.device.empty()) {
        // The library reads the backend choice when it initialises.
        setenv("BRINDLE_DEVICE", options.device.c_str(), 1);
    }

    const std::string folder = ProgramFolder();
    std::optional<HidServApi> api = LoadHidServ(folder);
    if (!api) {
        std::fprintf(stderr,
                     "brindlectl: cannot load the device service library %s/libHidServ.so\n",
                     folder.c_str());
        return nullptr;
    }
    if (api->Init(0) <= 0) {
        const char* why = api->AbsentReason != nullptr ? api->AbsentReason() : nullptr;
        std::fprintf(stderr, "brindlectl: the device service did not start%s%s\n",
                     why != nullptr && why[0] != '\0' ? ": " : "", why != nullptr ? why : "");
        return nullptr;
    }
    std::unique_ptr<CtlDevice> device(new CtlDevice());
    device->api_ = *api;
    device->protocol_ = std::make_unique<DeviceProtocol>(device->api_, CtlExchangeSettings());
    if (options.trace)
        device->protocol_->SetTrace(&Trace);
    device->connection_ = std::make_unique<DeviceConnection>(*device->protocol_, nullptr);
    device->connection_->StartControlChannel();
    return device;
}

CtlDevice::~CtlDevice() {
    connection_.reset();
    protocol_.reset();
}

std::string CtlDevice::AbsentReason() const {
    if (api_.AbsentReason == nullptr)
        return {};
    const char* why = api_.AbsentReason();
    return why != nullptr ? why : "";
}

const char* ResultMeaning(int result) {
    switch (result) {
    case result::kSuccess:
        return "success";
    case result::kNoKeyboard:
        return "no keyboard, or the operation failed";
    case result::kWriteRefused:
        return "the device service refused the write";
    case result::kNoAnswer:
        return "no matching answer after three attempts";
    case result::kStatusFF:
        return "the keyboard answered status 0xFF (bad request)";
    case result::kStatusFE:
        return "the keyboard answered status 0xFE (address or length out of range)";
    case result::kBadProfile:
        return "bad profile index";
    default:
        return "unknown result";
    }
}

int ReportFailure(const std::string& what, int result) {
    std::fprintf(stderr, "brindlectl: %s failed: result %d (%s)\n", what.c_str(), result,
                 ResultMeaning(result));
    return kExitFailed;
}

int ReportAbsent(const CtlDevice& device) {
    const std::string why = device.AbsentReason();
    std::fprintf(stderr, "brindlectl: keyboard not present%s%s%s\n", why.empty() ? "" : " (",
                 why.c_str(), why.empty() ? "" : ")");
    return kExitFailed;
}

} // namespace brindle::ctl
