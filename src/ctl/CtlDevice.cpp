#include "ctl/CtlDevice.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

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

bool Listening(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.size() >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return ok;
}

// mkdir -p for the folder part of `file`.
void MakeParents(const std::string& file) {
    for (size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1))
        mkdir(file.substr(0, slash).c_str(), 0700);
}

// Starts `brindle-kbdsim serve` in a session of its own, so it outlives this command, and waits
// (at most five seconds) until it listens.
bool StartDemoKeyboard(const std::string& socketPath, std::string* problem) {
    const std::string program = ProgramFolder() + "/brindle-kbdsim";
    const std::string state = DemoStateFile();
    MakeParents(state);
    MakeParents(socketPath);
    std::vector<std::string> words = {program, "serve", "--socket", socketPath, "--state", state};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    for (int fd = 0; fd < 3; ++fd)
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        *problem = "cannot start " + program + ": " + std::strerror(spawned);
        return false;
    }
    for (int i = 0; i < 500; ++i) {
        if (Listening(socketPath))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    *problem = "the demo keyboard did not start listening on " + socketPath;
    return false;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? std::string(value) : fallback;
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

std::string DemoSocketPath() {
    const std::string runtime =
        EnvOr("XDG_RUNTIME_DIR", "/tmp/brindle-" + std::to_string(getuid()));
    return runtime + "/brindle-demo-keyboard.sock";
}

std::string DemoStateFile() {
    const std::string data = EnvOr("XDG_DATA_HOME", EnvOr("HOME", "/tmp") + "/.local/share");
    return data + "/Brindle/demo-keyboard.state";
}

std::unique_ptr<CtlDevice> CtlDevice::Open(const CtlContext& context) {
    const CtlOptions& options = context.options;
    if (options.demo) {
        const std::string socketPath = DemoSocketPath();
        std::string problem;
        if (!Listening(socketPath) && !StartDemoKeyboard(socketPath, &problem)) {
            std::fprintf(stderr, "brindlectl: %s\n", problem.c_str());
            return nullptr;
        }
        setenv("BRINDLE_DEVICE", ("sim:" + socketPath).c_str(), 1);
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
