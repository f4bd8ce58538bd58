#include "core/app/DemoKeyboard.h"

#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "core/app/DetachedProgram.h"
#include "core/platform/UserFolders.h"

namespace brindle {

DemoKeyboardPlaces DefaultDemoKeyboardPlaces() {
    DemoKeyboardPlaces places;
    std::string runtime = RuntimeDir();
    places.socketPath = (runtime.empty() ? std::string("/tmp") : runtime) + "/brindle-demo.sock";
    places.stateFile = DataHome() + "/Brindle/demo-keyboard.state";
    return places;
}

bool DemoKeyboardListening(const std::string& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

std::string StartDemoKeyboard(const std::string& programFolder, const DemoKeyboardPlaces& places,
                              std::string* problem, std::chrono::milliseconds wait) {
    const std::string device = "sim:" + places.socketPath;
    if (DemoKeyboardListening(places.socketPath))
        return device;
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string program = folder + "brindle-kbdsim";
    size_t slash = places.stateFile.rfind('/');
    if (slash != std::string::npos)
        MakeFolders(places.stateFile.substr(0, slash));
    if (!StartProgramDetached(
            program, {"serve", "--socket", places.socketPath, "--state", places.stateFile})) {
        if (problem)
            *problem = "cannot start " + program;
        return {};
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (DemoKeyboardListening(places.socketPath))
            return device;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (problem)
        *problem = "the demo keyboard did not start listening on " + places.socketPath;
    return {};
}

} // namespace brindle
