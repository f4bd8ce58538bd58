// The running instance's mailbox. Once the main window is marked, the instance listens on a UNIX
// socket named by its process id in a private (0700) folder of the runtime folder; another copy
// reaches it with DeliverInstanceMessage. Only processes of the same user get through: the folder
// keeps others out and every connection's peer credentials are checked as well.
//
// Wire format (SOCK_SEQPACKET, host byte order): one 16-byte request (u32 message, u32 wParam,
// i64 lParam), one 8-byte answer (i64 result).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>

#include "core/app/InstanceMessage.h"

namespace brindle {

class InstanceListener {
public:
    // Runs on the listener's own thread, one message at a time; the sender waits for its result.
    using Handler = std::function<int64_t(const InstanceMessage&)>;

    InstanceListener() = default;
    ~InstanceListener();
    InstanceListener(const InstanceListener&) = delete;
    InstanceListener& operator=(const InstanceListener&) = delete;

    // False when the folder cannot be made private or the socket cannot be bound. A socket file
    // left by a crashed process of the same id is replaced.
    bool Start(const std::string& runtimeFolder, Handler handler, pid_t pid = -1);
    // Stops listening and removes the socket. Must not be called from inside the handler, and
    // the handler must not be blocked waiting for the thread that calls Stop.
    void Stop();
    bool Listening() const { return listenFd_ >= 0; }

    // The folder every instance's socket lives in, and one instance's socket.
    static std::string MailboxFolder(const std::string& runtimeFolder);
    static std::string SocketPath(const std::string& runtimeFolder, pid_t pid);

    // How long a connected sender may take to send its request.
    int requestTimeoutMs = 1000;

private:
    void Run();
    void Serve(int connection);

    Handler handler_;
    std::string socketPath_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};

// Sends `message` to the instance `pid` and waits up to `timeoutMs` (-1: without limit) for the
// answer. Nothing when no such instance listens, it is another user's, or no answer came.
std::optional<int64_t> DeliverInstanceMessage(const std::string& runtimeFolder, pid_t pid,
                                              const InstanceMessage& message,
                                              int timeoutMs = 10000);

} // namespace brindle
