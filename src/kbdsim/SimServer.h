// The virtual keyboard on a UNIX SOCK_SEQPACKET socket, served by a thread of its own. Any number
// of clients may connect (the program, brindlectl, `brindle-kbdsim ctl`): an answer goes to the
// client that sent the request; notifications and attach/detach go to every client. See
// VirtualKeyboard.h for how a test starts one in its own process.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kbdsim/SimWire.h"
#include "kbdsim/VirtualKeyboard.h"

namespace brindle {

class SimServer {
public:
    SimServer(VirtualKeyboard& keyboard, std::string socketPath);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Listens on the socket path (a stale socket file nobody listens on is replaced) and starts
    // the thread with the keyboard attached. False, with a reason, when the path is taken by a
    // running virtual keyboard or cannot be bound.
    bool Start(std::string* problem = nullptr);
    // Stops the thread, closes every connection, removes the socket file, saves the state file.
    void Stop();

    const std::string& SocketPath() const { return socketPath_; }

    // One `brindle-kbdsim ctl` command, e.g. "fault drop 2" or "dump keytable 1". Returns the exit
    // status (0 done, 1 failed, 2 bad command) and appends the output text to `output`.
    int RunCommand(const std::string& line, std::string* output = nullptr);

    bool Attached() const;
    size_t ClientCount() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        int fd;
        uint64_t id;
    };
    struct PendingAnswer {
        Clock::time_point due;
        uint64_t client;
        std::vector<uint8_t> message;
    };

    void Run();
    void Accept();
    bool Receive(const Client& client); // false when the client went away
    int RunCommandLocked(const std::vector<std::string>& words, std::string& out);
    void SetAttachedLocked(bool attached);
    void BroadcastLocked(const std::vector<uint8_t>& message);
    bool SendLocked(int fd, const std::vector<uint8_t>& message);
    bool NotifyLocked(uint16_t consumerCode, std::string& out);
    void Wake();

    VirtualKeyboard& keyboard_;
    const std::string socketPath_;
    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_;
    std::vector<Client> clients_;
    uint64_t nextClientId_ = 1;
    bool attached_ = true;
    std::deque<PendingAnswer> pending_;
    bool saveDue_ = false;
    Clock::time_point saveAt_{};
};

} // namespace brindle
