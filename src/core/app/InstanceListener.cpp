#include "core/app/InstanceListener.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "core/app/RuntimeFolder.h"

namespace brindle {

namespace {

constexpr size_t kRequestSize = 16;
constexpr size_t kAnswerSize = 8;

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

bool WaitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int r;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLIN);
}

bool PeerIsSameUser(int fd) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == getuid();
}

void CloseFd(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

std::string InstanceListener::MailboxFolder(const std::string& runtimeFolder) {
    return runtimeFolder + "/brindle-instances";
}

std::string InstanceListener::SocketPath(const std::string& runtimeFolder, pid_t pid) {
    return MailboxFolder(runtimeFolder) + "/" + std::to_string(pid);
}

InstanceListener::~InstanceListener() {
    Stop();
}

bool InstanceListener::Start(const std::string& runtimeFolder, Handler handler, pid_t pid) {
    if (listenFd_ >= 0 || runtimeFolder.empty() || !MakePrivateFolder(MailboxFolder(runtimeFolder)))
        return false;
    const std::string path = SocketPath(runtimeFolder, pid < 0 ? getpid() : pid);
    sockaddr_un address;
    if (!FillAddress(path, address))
        return false;
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    unlink(path.c_str()); // a socket of the same id can only be left over from a dead process
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return false;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        close(fd);
        unlink(path.c_str());
        return false;
    }
    handler_ = std::move(handler);
    socketPath_ = path;
    listenFd_ = fd;
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    thread_ = std::thread([this] { Run(); });
    return true;
}

void InstanceListener::Stop() {
    if (listenFd_ < 0)
        return;
    const char byte = 0;
    (void)!write(wakeWrite_, &byte, 1);
    if (thread_.joinable())
        thread_.join();
    unlink(socketPath_.c_str());
    CloseFd(listenFd_);
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
    socketPath_.clear();
}

void InstanceListener::Run() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        int connection = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        Serve(connection);
        close(connection);
    }
}

void InstanceListener::Serve(int connection) {
    if (!PeerIsSameUser(connection) || !WaitReadable(connection, requestTimeoutMs))
        return;
    unsigned char request[kRequestSize + 1];
    ssize_t got = recv(connection, request, sizeof request, 0);
    if (got != static_cast<ssize_t>(kRequestSize))
        return; // short, long or empty: not one of ours
    InstanceMessage message;
    std::memcpy(&message.message, request, 4);
    std::memcpy(&message.wParam, request + 4, 4);
    std::memcpy(&message.lParam, request + 8, 8);
    int64_t result = handler_ ? handler_(message) : 0;
    unsigned char answer[kAnswerSize];
    std::memcpy(answer, &result, sizeof result);
    (void)!send(connection, answer, sizeof answer, MSG_NOSIGNAL);
}

std::optional<int64_t> DeliverInstanceMessage(const std::string& runtimeFolder, pid_t pid,
                                              const InstanceMessage& message, int timeoutMs) {
    if (runtimeFolder.empty() || pid <= 0)
        return std::nullopt;
    const std::string folder = InstanceListener::MailboxFolder(runtimeFolder);
    // The mailbox folder must be ours and private, or a stranger could stand in for the instance.
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0)
        return std::nullopt;
    sockaddr_un address;
    if (!FillAddress(InstanceListener::SocketPath(runtimeFolder, pid), address))
        return std::nullopt;
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    std::optional<int64_t> result;
    unsigned char request[kRequestSize];
    std::memcpy(request, &message.message, 4);
    std::memcpy(request + 4, &message.wParam, 4);
    std::memcpy(request + 8, &message.lParam, 8);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        PeerIsSameUser(fd) &&
        send(fd, request, sizeof request, MSG_NOSIGNAL) == static_cast<ssize_t>(kRequestSize) &&
        WaitReadable(fd, timeoutMs)) {
        unsigned char answer[kAnswerSize + 1];
        if (recv(fd, answer, sizeof answer, 0) == static_cast<ssize_t>(kAnswerSize)) {
            int64_t value;
            std::memcpy(&value, answer, sizeof value);
            result = value;
        }
    }
    close(fd);
    return result;
}

} // namespace brindle
