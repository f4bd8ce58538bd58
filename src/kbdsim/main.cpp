// brindle-kbdsim: the virtual keyboard as a program.
//
//   brindle-kbdsim serve [--socket PATH] [--state FILE] [--capacity UNITS] [--modes LIST]
//   brindle-kbdsim ctl [--socket PATH] COMMAND [ARGS]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "kbdsim/SimServer.h"
#include "kbdsim/SimSocketPath.h"
#include "kbdsim/SimWire.h"
#include "kbdsim/VirtualKeyboard.h"

namespace {

using brindle::SimInterface;
using brindle::SimMessageType;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const char* why) {
    if (why != nullptr)
        std::fprintf(stderr, "brindle-kbdsim: %s\n", why);
    std::fprintf(stderr,
                 "usage: brindle-kbdsim serve [--socket PATH] [--state FILE] [--capacity UNITS] "
                 "[--modes LIST]\n"
                 "       brindle-kbdsim ctl [--socket PATH] COMMAND [ARGS]\n"
                 "ctl commands: plug | unplug | profile-key N | bank-key | backlight on|off |\n"
                 "  fault drop N|echo N|status ff|fe N|delay MS|unplug-after N|clear |\n"
                 "  dump settings|lighting|colours|keytable P|factory|macros|bank | log | "
                 "clear-log\n");
    return kExitUsage;
}

std::string DefaultStateFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] != '\0')
        return std::string(state) + "/brindle-kbdsim.state";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/state/brindle-kbdsim.state";
    return "brindle-kbdsim.state";
}

bool ParseModes(const std::string& list, std::vector<uint8_t>& modes) {
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, comma - at);
        char* end = nullptr;
        const long code = std::strtol(item.c_str(), &end, 0);
        if (item.empty() || *end != '\0' || code < 1 || code > 255)
            return false;
        modes.push_back(static_cast<uint8_t>(code));
        at = comma + 1;
    }
    return !modes.empty() && modes.size() <= 32;
}

int Serve(int argc, char** argv) {
    std::string socketPath = brindle::DefaultSimSocketPath();
    brindle::VirtualKeyboardOptions options;
    options.stateFile = DefaultStateFile();
    bool stateGiven = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return Usage(("missing value after " + arg).c_str());
        const std::string value = argv[++i];
        if (arg == "--socket") {
            socketPath = value;
        } else if (arg == "--state") {
            options.stateFile = value;
            stateGiven = true;
        } else if (arg == "--capacity") {
            char* end = nullptr;
            const long units = std::strtol(value.c_str(), &end, 0);
            if (value.empty() || *end != '\0' || units < 1 || units > 255)
                return Usage("--capacity takes 1 to 255 units of 128 bytes");
            options.capacityUnits = static_cast<uint8_t>(units);
        } else if (arg == "--modes") {
            if (!ParseModes(value, options.modes))
                return Usage("--modes takes up to 32 effect codes 1-255, comma-separated");
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }

    if (!stateGiven) {
        // The default state folder may not exist yet on a fresh account.
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(options.stateFile).parent_path(),
                                            ignored);
    }
    brindle::VirtualKeyboard keyboard(options);
    std::string problem;
    if (!keyboard.Load(&problem))
        std::fprintf(stderr, "brindle-kbdsim: %s; starting with fresh memory\n", problem.c_str());

    // SIGINT and SIGTERM end the keyboard cleanly: memory saved, socket removed.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    brindle::SimServer server(keyboard, socketPath);
    if (!server.Start(&problem)) {
        std::fprintf(stderr, "brindle-kbdsim: %s\n", problem.c_str());
        return kExitFailed;
    }
    std::printf("brindle-kbdsim: listening on %s\n", socketPath.c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    if (!keyboard.Save(&problem)) {
        std::fprintf(stderr, "brindle-kbdsim: %s\n", problem.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int Ctl(int argc, char** argv) {
    std::string socketPath = brindle::DefaultSimSocketPath();
    int i = 0;
    if (i < argc && std::strcmp(argv[i], "--socket") == 0) {
        if (i + 1 >= argc)
            return Usage("missing value after --socket");
        socketPath = argv[i + 1];
        i += 2;
    }
    if (i >= argc)
        return Usage("ctl needs a command");
    std::string line;
    for (; i < argc; ++i)
        line += (line.empty() ? "" : " ") + std::string(argv[i]);

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path))
        return Usage("socket path too long");
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        std::fprintf(stderr, "brindle-kbdsim: no virtual keyboard listens on %s\n",
                     socketPath.c_str());
        return kExitFailed;
    }
    const auto request = brindle::EncodeSimMessage(
        SimMessageType::kControl, SimInterface::kNone,
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(line.data()), line.size()));
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        std::fprintf(stderr, "brindle-kbdsim: cannot reach the virtual keyboard: %s\n",
                     std::strerror(errno));
        return kExitFailed;
    }
    std::vector<uint8_t> buffer(brindle::kSimMaxMessage);
    for (;;) {
        const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0) {
            std::fprintf(stderr, "brindle-kbdsim: the virtual keyboard went away\n");
            return kExitFailed;
        }
        const auto message =
            brindle::DecodeSimMessage(std::span<const uint8_t>(buffer.data(), size_t(n)));
        if (!message)
            continue;
        if (message->type == SimMessageType::kControlOutput) {
            std::fwrite(message->body.data(), 1, message->body.size(), stdout);
        } else if (message->type == SimMessageType::kControlDone) {
            std::fflush(stdout);
            const int status = message->body.empty() ? kExitFailed : message->body[0];
            ::close(fd);
            return status;
        }
        // Device states and notifications that reach every client are not for us.
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage(nullptr);
    const std::string mode = argv[1];
    if (mode == "serve")
        return Serve(argc - 2, argv + 2);
    if (mode == "ctl")
        return Ctl(argc - 2, argv + 2);
    if (mode == "--help" || mode == "-h") {
        Usage(nullptr);
        return kExitOk;
    }
    return Usage(("unknown mode " + mode).c_str());
}
