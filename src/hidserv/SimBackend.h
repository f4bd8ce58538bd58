// The virtual keyboard as the device: a UNIX SOCK_SEQPACKET connection to brindle-kbdsim (or to an
// in-process SimServer). A keyboard that is not listening yet, or goes away, is simply absent;
// the backend reconnects at a short interval and reports the attach as a device change.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hidserv/HidBackend.h"
#include "kbdsim/SimWire.h"

namespace brindle {

class SimBackend : public HidBackend {
public:
    explicit SimBackend(std::string socketPath, std::chrono::milliseconds reconnectInterval =
                                                    std::chrono::milliseconds(200));
    ~SimBackend() override;

    bool Start(HidBackendEvents& events) override;
    void Stop() override;
    int Write(uint32_t node, const uint8_t* data, size_t size) override;
    std::string LastProblem() const override;

    // The three interfaces of an attached virtual keyboard.
    static std::vector<HidInterfaceInfo> KeyboardInterfaces();

private:
    void Run();
    bool Connect();      // one attempt; true when connected
    void WaitForState(); // after connecting, take the keyboard's first device state
    void Disconnect();
    void Handle(const uint8_t* bytes, size_t size);
    void SetAttached(bool attached);

    const std::string socketPath_;
    const std::chrono::milliseconds reconnectInterval_;
    HidBackendEvents* events_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int wakePipe_[2] = {-1, -1};
    bool attached_ = false; // receiver thread only (and Start before it runs)

    mutable std::mutex mutex_; // guards fd_ for writers and problem_
    int fd_ = -1;
    bool writable_ = false; // connected and attached
    std::string problem_;
};

} // namespace brindle
