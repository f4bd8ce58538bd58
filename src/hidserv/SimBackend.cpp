#include "hidserv/SimBackend.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace brindle {

namespace {

constexpr int kFirstStateWaitMs = 500; // a listening keyboard sends its state at once

SimInterface InterfaceOfNode(uint32_t node) {
    return static_cast<SimInterface>(node);
}

} // namespace

SimBackend::SimBackend(std::string socketPath, std::chrono::milliseconds reconnectInterval)
    : socketPath_(std::move(socketPath)), reconnectInterval_(reconnectInterval) {}

SimBackend::~SimBackend() {
    Stop();
}

std::vector<HidInterfaceInfo> SimBackend::KeyboardInterfaces() {
    auto make = [](SimInterface iface, uint16_t page, uint16_t usage, bool reportIds,
                   const char* name) {
        HidInterfaceInfo info;
        info.node = static_cast<uint32_t>(iface);
        info.vendorId = HID_VENDOR_ID;
        info.productId = HID_PRODUCT_ID;
        info.collections = {{page, usage}};
        info.reportIds = reportIds;
        info.path = name;
        return info;
    };
    return {make(SimInterface::kControl, HID_USAGE_PAGE_CONTROL, HID_USAGE_CONTROL, true,
                 "sim:control"),
            make(SimInterface::kConsumer, HID_USAGE_PAGE_CONSUMER, HID_USAGE_CONSUMER, true,
                 "sim:consumer"),
            make(SimInterface::kLocks, HID_USAGE_PAGE_LOCKS, HID_USAGE_LOCKS, false, "sim:locks")};
}

bool SimBackend::Start(HidBackendEvents& events) {
    if (thread_.joinable())
        return true;
    events_ = &events;
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    stopping_ = false;
    attached_ = false;
    if (Connect())
        WaitForState();
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SimBackend::Stop() {
    if (!thread_.joinable())
        return;
    stopping_ = true;
    const uint8_t byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &byte, 1);
    thread_.join();
    Disconnect();
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
    wakePipe_[0] = wakePipe_[1] = -1;
    attached_ = false;
}

bool SimBackend::Connect() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.empty() || socketPath_.size() >= sizeof(address.sun_path)) {
        std::lock_guard lock(mutex_);
        problem_ = "socket path too long or empty: " + socketPath_;
        return false;
    }
    std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        std::lock_guard lock(mutex_);
        problem_ = "no virtual keyboard listens on " + socketPath_;
        return false;
    }
    std::lock_guard lock(mutex_);
    fd_ = fd;
    problem_.clear();
    return true;
}

void SimBackend::WaitForState() {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, kFirstStateWaitMs) <= 0)
        return;
    uint8_t buffer[kSimMaxMessage];
    const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n > 0)
        Handle(buffer, static_cast<size_t>(n));
    else if (n == 0)
        Disconnect();
}

void SimBackend::Disconnect() {
    int fd;
    {
        std::lock_guard lock(mutex_);
        fd = fd_;
        fd_ = -1;
        writable_ = false;
        if (fd >= 0)
            problem_ = "the virtual keyboard on " + socketPath_ + " went away";
    }
    if (fd >= 0)
        ::close(fd);
    SetAttached(false);
}

void SimBackend::SetAttached(bool attached) {
    {
        std::lock_guard lock(mutex_);
        writable_ = attached && fd_ >= 0;
        if (fd_ >= 0)
            problem_ = attached ? "" : "the virtual keyboard on " + socketPath_ + " is unplugged";
    }
    if (attached == attached_)
        return;
    attached_ = attached;
    if (events_ != nullptr && !stopping_)
        events_->OnDevicesChanged(attached ? KeyboardInterfaces()
                                           : std::vector<HidInterfaceInfo>{});
}

void SimBackend::Handle(const uint8_t* bytes, size_t size) {
    const auto message = DecodeSimMessage(std::span<const uint8_t>(bytes, size));
    if (!message)
        return;
    if (message->type == SimMessageType::kDeviceState) {
        SetAttached(!message->body.empty() && message->body[0] != 0);
        return;
    }
    if (message->type != SimMessageType::kReport || !attached_)
        return;
    for (const HidInterfaceInfo& info : KeyboardInterfaces())
        if (info.node == static_cast<uint32_t>(message->iface)) {
            events_->OnInput(info, message->body.data(), message->body.size());
            return;
        }
}

void SimBackend::Run() {
    uint8_t buffer[kSimMaxMessage];
    while (!stopping_) {
        int fd;
        {
            std::lock_guard lock(mutex_);
            fd = fd_;
        }
        if (fd < 0) {
            // Not connected: wait one interval (or until stopped), then try again.
            pollfd wake{wakePipe_[0], POLLIN, 0};
            ::poll(&wake, 1, static_cast<int>(reconnectInterval_.count()));
            if (!stopping_)
                Connect();
            continue;
        }
        pollfd fds[2] = {{wakePipe_[0], POLLIN, 0}, {fd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            continue; // stopping
        if (fds[1].revents == 0)
            continue;
        const ssize_t n = ::recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (n > 0) {
            Handle(buffer, static_cast<size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            Disconnect();
        }
    }
}

int SimBackend::Write(uint32_t node, const uint8_t* data, size_t size) {
    const SimInterface iface = InterfaceOfNode(node);
    if (size > kSimMaxBody)
        return 0;
    uint8_t message[kSimHeaderSize + 64];
    std::vector<uint8_t> large;
    uint8_t* out = message;
    if (size > 64) {
        large.resize(kSimHeaderSize + size);
        out = large.data();
    }
    out[0] = static_cast<uint8_t>(SimMessageType::kReport);
    out[1] = static_cast<uint8_t>(iface);
    out[2] = static_cast<uint8_t>(size & 0xFF);
    out[3] = static_cast<uint8_t>(size >> 8);
    if (size > 0)
        std::memcpy(out + kSimHeaderSize, data, size);
    // The write blocks until the socket takes the whole message; nothing on this path waits
    // for anything else.
    std::lock_guard lock(mutex_);
    if (!writable_)
        return 0;
    const ssize_t sent = ::send(fd_, out, kSimHeaderSize + size, MSG_NOSIGNAL);
    return sent == static_cast<ssize_t>(kSimHeaderSize + size) ? 1 : 0;
}

std::string SimBackend::LastProblem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

} // namespace brindle
