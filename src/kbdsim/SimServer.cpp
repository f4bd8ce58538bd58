#include "kbdsim/SimServer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace brindle {

namespace {

constexpr int kSaveIdleMs = 50; // memory is saved once a burst of writes has settled
constexpr uint16_t kConsumerProfileChanged = 0x0401;
constexpr uint16_t kConsumerBankToggle = 0x02FF;
constexpr uint16_t kConsumerBacklightOn = 0x1811;
constexpr uint16_t kConsumerBacklightOff = 0x1810;

constexpr const char* kCommandHelp =
    "commands: plug | unplug | profile-key N | bank-key | backlight on|off |\n"
    "  fault drop N|echo N|status ff|fe N|delay MS|unplug-after N|clear |\n"
    "  dump settings|lighting|colours|keytable P|factory|macros|bank | log | clear-log\n";

bool FillAddress(sockaddr_un& address, const std::string& path) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

bool SomeoneListens(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(address, path))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool listens = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return listens;
}

// A count in decimal or 0x-hexadecimal, within [low, high].
bool ParseNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 0);
    return errno == 0 && end != nullptr && *end == '\0' && value >= low && value <= high;
}

void HexDump(const std::vector<uint8_t>& bytes, std::string& out) {
    char text[32];
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 16 == 0) {
            std::snprintf(text, sizeof(text), "%s%04zx:", i == 0 ? "" : "\n", i);
            out += text;
        }
        std::snprintf(text, sizeof(text), " %02x", bytes[i]);
        out += text;
    }
    if (!bytes.empty())
        out += '\n';
}

} // namespace

SimServer::SimServer(VirtualKeyboard& keyboard, std::string socketPath)
    : keyboard_(keyboard), socketPath_(std::move(socketPath)) {}

SimServer::~SimServer() {
    Stop();
}

bool SimServer::Start(std::string* problem) {
    auto fail = [&](const std::string& text) {
        if (problem != nullptr)
            *problem = text;
        if (listenFd_ >= 0)
            ::close(listenFd_);
        listenFd_ = -1;
        return false;
    };
    if (thread_.joinable())
        return fail("the virtual keyboard already runs");
    sockaddr_un address;
    if (!FillAddress(address, socketPath_))
        return fail("socket path too long or empty: " + socketPath_);
    if (SomeoneListens(socketPath_))
        return fail("a virtual keyboard already listens on " + socketPath_);
    ::unlink(socketPath_.c_str());
    listenFd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        return fail(std::string("cannot create a socket: ") + std::strerror(errno));
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listenFd_, 16) != 0)
        return fail("cannot listen on " + socketPath_ + ": " + std::strerror(errno));
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail(std::string("cannot create a pipe: ") + std::strerror(errno));
    stopping_ = false;
    {
        std::lock_guard lock(mutex_);
        attached_ = true;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SimServer::Stop() {
    if (!thread_.joinable())
        return;
    stopping_ = true;
    Wake();
    thread_.join();
    std::lock_guard lock(mutex_);
    for (const Client& c : clients_)
        ::close(c.fd);
    clients_.clear();
    pending_.clear();
    ::close(listenFd_);
    listenFd_ = -1;
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
    wakePipe_[0] = wakePipe_[1] = -1;
    ::unlink(socketPath_.c_str());
    keyboard_.SaveIfChanged();
}

void SimServer::Wake() {
    const uint8_t byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &byte, 1);
}

bool SimServer::Attached() const {
    std::lock_guard lock(mutex_);
    return attached_;
}

size_t SimServer::ClientCount() const {
    std::lock_guard lock(mutex_);
    return clients_.size();
}

void SimServer::Run() {
    std::vector<pollfd> fds;
    std::vector<Client> polled;
    while (!stopping_) {
        int timeout = -1;
        {
            std::lock_guard lock(mutex_);
            const Clock::time_point now = Clock::now();
            // Delayed answers whose time has come.
            while (!pending_.empty() && pending_.front().due <= now) {
                const PendingAnswer answer = std::move(pending_.front());
                pending_.pop_front();
                for (const Client& c : clients_)
                    if (c.id == answer.client)
                        SendLocked(c.fd, answer.message);
            }
            if (saveDue_ && saveAt_ <= now) {
                saveDue_ = false;
                keyboard_.SaveIfChanged();
            }
            auto until = [&](Clock::time_point t) {
                const auto ms = std::chrono::ceil<std::chrono::milliseconds>(t - now).count();
                const int wait = static_cast<int>(std::max<long long>(ms, 0));
                timeout = timeout < 0 ? wait : std::min(timeout, wait);
            };
            if (!pending_.empty())
                until(pending_.front().due);
            if (saveDue_)
                until(saveAt_);
            polled = clients_;
        }
        fds.clear();
        fds.push_back({wakePipe_[0], POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        for (const Client& c : polled)
            fds.push_back({c.fd, POLLIN, 0});
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        if (fds[0].revents != 0) {
            uint8_t drain[64];
            while (::read(wakePipe_[0], drain, sizeof(drain)) > 0) {
            }
        }
        if (fds[1].revents & POLLIN)
            Accept();
        for (size_t i = 0; i < polled.size(); ++i) {
            const short events = fds[i + 2].revents;
            if (events == 0)
                continue;
            if ((events & POLLIN) && Receive(polled[i]))
                continue;
            if (events & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
                std::lock_guard lock(mutex_);
                auto it = std::find_if(clients_.begin(), clients_.end(),
                                       [&](const Client& c) { return c.id == polled[i].id; });
                if (it != clients_.end()) {
                    ::close(it->fd);
                    clients_.erase(it);
                }
            }
        }
    }
}

void SimServer::Accept() {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // A client that stops reading must not stall the keyboard for everybody else.
    timeval timeout{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    std::lock_guard lock(mutex_);
    clients_.push_back({fd, nextClientId_++});
    const uint8_t state = attached_ ? 1 : 0;
    SendLocked(fd, EncodeSimMessage(SimMessageType::kDeviceState, SimInterface::kNone,
                                    std::span<const uint8_t>(&state, 1)));
}

bool SimServer::Receive(const Client& client) {
    uint8_t buffer[kSimMaxMessage];
    const ssize_t n = ::recv(client.fd, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    if (n == 0)
        return false;
    const auto message = DecodeSimMessage(std::span<const uint8_t>(buffer, size_t(n)));
    if (!message)
        return true; // not ours: ignored
    std::lock_guard lock(mutex_);
    if (message->type == SimMessageType::kControl) {
        std::string line(message->body.begin(), message->body.end());
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string w; words >> w;)
            args.push_back(w);
        std::string out;
        const uint8_t status = static_cast<uint8_t>(RunCommandLocked(args, out));
        for (size_t at = 0; at < out.size(); at += kSimMaxBody) {
            const size_t piece = std::min(kSimMaxBody, out.size() - at);
            SendLocked(
                client.fd,
                EncodeSimMessage(SimMessageType::kControlOutput, SimInterface::kNone,
                                 std::span<const uint8_t>(
                                     reinterpret_cast<const uint8_t*>(out.data()) + at, piece)));
        }
        SendLocked(client.fd, EncodeSimMessage(SimMessageType::kControlDone, SimInterface::kNone,
                                               std::span<const uint8_t>(&status, 1)));
        return true;
    }
    if (message->type != SimMessageType::kReport || !attached_)
        return true; // a keyboard that is not plugged in receives nothing
    const KeyboardReaction reaction = keyboard_.HandleReport(message->iface, message->body);
    saveDue_ = true;
    saveAt_ = Clock::now() + std::chrono::milliseconds(kSaveIdleMs);
    if (reaction.answer) {
        auto answer = EncodeSimMessage(SimMessageType::kReport, SimInterface::kControl,
                                       std::span<const uint8_t>(*reaction.answer));
        if (reaction.delayMs > 0 && !reaction.leave)
            pending_.push_back({Clock::now() + std::chrono::milliseconds(reaction.delayMs),
                                client.id, std::move(answer)});
        else
            SendLocked(client.fd, answer);
    }
    if (reaction.leave)
        SetAttachedLocked(false);
    return true;
}

bool SimServer::SendLocked(int fd, const std::vector<uint8_t>& message) {
    return ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(message.size());
}

void SimServer::BroadcastLocked(const std::vector<uint8_t>& message) {
    for (const Client& c : clients_)
        SendLocked(c.fd, message);
}

void SimServer::SetAttachedLocked(bool attached) {
    if (attached_ == attached)
        return;
    attached_ = attached;
    if (!attached)
        pending_.clear(); // answers of a keyboard that left never arrive
    const uint8_t state = attached ? 1 : 0;
    BroadcastLocked(EncodeSimMessage(SimMessageType::kDeviceState, SimInterface::kNone,
                                     std::span<const uint8_t>(&state, 1)));
}

bool SimServer::NotifyLocked(uint16_t consumerCode, std::string& out) {
    if (!attached_) {
        out += "the keyboard is unplugged\n";
        return false;
    }
    const uint8_t report[3] = {kSimConsumerReportId, static_cast<uint8_t>(consumerCode & 0xFF),
                               static_cast<uint8_t>(consumerCode >> 8)};
    BroadcastLocked(EncodeSimMessage(SimMessageType::kReport, SimInterface::kConsumer, report));
    return true;
}

int SimServer::RunCommand(const std::string& line, std::string* output) {
    std::istringstream words(line);
    std::vector<std::string> args;
    for (std::string w; words >> w;)
        args.push_back(w);
    std::string out;
    int status;
    {
        std::lock_guard lock(mutex_);
        status = RunCommandLocked(args, out);
    }
    if (output != nullptr)
        *output += out;
    return status;
}

int SimServer::RunCommandLocked(const std::vector<std::string>& args, std::string& out) {
    constexpr int kOk = 0, kFailed = 1, kUsage = 2;
    auto usage = [&](const std::string& why) {
        out += why + "\n" + kCommandHelp;
        return kUsage;
    };
    if (args.empty())
        return usage("no command");
    const std::string& name = args[0];
    const size_t argc = args.size();
    long value = 0;

    if (name == "plug" || name == "unplug") {
        if (argc != 1)
            return usage(name + " takes no argument");
        SetAttachedLocked(name == "plug");
        return kOk;
    }
    if (name == "profile-key") {
        if (argc != 2 || !ParseNumber(args[1], 0, kProfileCount - 1, value))
            return usage("profile-key needs a profile 0, 1 or 2");
        if (!attached_) {
            out += "the keyboard is unplugged\n";
            return kFailed;
        }
        keyboard_.SwitchProfile(static_cast<uint8_t>(value));
        saveDue_ = true;
        saveAt_ = Clock::now();
        Wake();
        return NotifyLocked(kConsumerProfileChanged, out) ? kOk : kFailed;
    }
    if (name == "bank-key") {
        if (argc != 1)
            return usage("bank-key takes no argument");
        return NotifyLocked(kConsumerBankToggle, out) ? kOk : kFailed;
    }
    if (name == "backlight") {
        if (argc != 2 || (args[1] != "on" && args[1] != "off"))
            return usage("backlight needs on or off");
        return NotifyLocked(args[1] == "on" ? kConsumerBacklightOn : kConsumerBacklightOff, out)
                   ? kOk
                   : kFailed;
    }
    if (name == "fault") {
        if (argc < 2)
            return usage("fault needs a kind");
        KeyboardFaults faults = keyboard_.Faults();
        const std::string& kind = args[1];
        if (kind == "clear" && argc == 2) {
            faults = KeyboardFaults{};
        } else if ((kind == "drop" || kind == "echo") && argc == 3 &&
                   ParseNumber(args[2], 0, 1000000, value)) {
            (kind == "drop" ? faults.dropAnswers : faults.wrongEcho) = static_cast<int>(value);
        } else if (kind == "status" && argc == 4 && (args[2] == "ff" || args[2] == "fe") &&
                   ParseNumber(args[3], 0, 1000000, value)) {
            faults.statusValue = args[2] == "ff" ? kStatusBadRequest : kStatusOutOfRange;
            faults.badStatus = static_cast<int>(value);
        } else if (kind == "delay" && argc == 3 && ParseNumber(args[2], 0, 600000, value)) {
            faults.delayMs = static_cast<int>(value);
        } else if (kind == "unplug-after" && argc == 3 && ParseNumber(args[2], 0, 1000000, value)) {
            faults.unplugAfter = static_cast<int>(value);
            if (value == 0) {
                faults.unplugAfter = -1;
                SetAttachedLocked(false);
            }
        } else {
            return usage("unknown fault: fault drop N|echo N|status ff|fe N|delay MS|"
                         "unplug-after N|clear");
        }
        keyboard_.SetFaults(faults);
        return kOk;
    }
    if (name == "dump") {
        if (argc < 2)
            return usage("dump needs an area");
        const std::string& area = args[1];
        if (area == "keytable") {
            if (argc != 3 || !ParseNumber(args[2], 0, kProfileCount - 1, value))
                return usage("dump keytable needs a profile 0, 1 or 2");
            HexDump(keyboard_.KeyTable(static_cast<int>(value)), out);
            return kOk;
        }
        if (argc != 2)
            return usage("dump " + area + " takes no further argument");
        if (area == "settings")
            HexDump(keyboard_.Settings(), out);
        else if (area == "lighting")
            HexDump(keyboard_.Lighting(), out);
        else if (area == "colours")
            HexDump(keyboard_.Colours(), out);
        else if (area == "factory")
            HexDump(keyboard_.FactoryTable(), out);
        else if (area == "macros")
            HexDump(keyboard_.Macros(), out);
        else if (area == "bank")
            HexDump(keyboard_.BankStatus(), out);
        else
            return usage("unknown area: " + area);
        return kOk;
    }
    if (name == "log" && argc == 1) {
        for (const std::string& line : keyboard_.Log())
            out += line + "\n";
        return kOk;
    }
    if (name == "clear-log" && argc == 1) {
        keyboard_.ClearLog();
        return kOk;
    }
    return usage("unknown command: " + name);
}

} // namespace brindle
