// The real keyboard through the kernel's hidraw nodes.
//
// The backend finds the keyboard's nodes under <sysfs>/class/hidraw (the HID_ID line of each
// node's device/uevent names bus, vendor and product), tells the interfaces apart by the top-level
// collections of device/report_descriptor, and runs one reader thread per open node. A monitor
// thread rescans at a short interval and whenever a reader saw its node vanish (ENODEV, EIO,
// POLLHUP), so a plug or an unplug is reported within a second. A node that cannot be opened
// counts as absent, and LastProblem says why ("permission denied on /dev/hidraw3").
//
// The sysfs root, the device folder and the way a node is opened are injectable, so tests run on
// a fake sysfs tree with socket pairs for nodes.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hidserv/HidBackend.h"

namespace brindle {

struct HidrawOptions {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    // Opens a node for reading and writing; returns the descriptor or -errno. Empty = open(2).
    std::function<int(const std::string& path)> openNode;
    std::chrono::milliseconds rescanInterval{250};
    uint16_t vendorId = HID_VENDOR_ID;
    uint16_t productId = HID_PRODUCT_ID;
};

class HidrawBackend : public HidBackend {
public:
    explicit HidrawBackend(HidrawOptions options = {});
    ~HidrawBackend() override;

    bool Start(HidBackendEvents& events) override;
    void Stop() override;
    int Write(uint32_t node, const uint8_t* data, size_t size) override;
    std::string LastProblem() const override;

private:
    struct Node;
    struct Candidate {
        std::string name;
        HidInterfaceInfo info;
    };

    void Monitor();
    void Rescan();
    std::vector<Candidate> ScanSysfs(std::string& problem) const;
    void ReadLoop(Node& node);
    void WakeMonitor();
    static void Close(std::unique_ptr<Node> node);

    HidrawOptions options_;
    HidBackendEvents* events_ = nullptr;
    std::thread monitor_;
    std::atomic<bool> stopping_{false};
    int wakePipe_[2] = {-1, -1};
    std::vector<HidInterfaceInfo> reported_; // monitor thread only (and Start)

    mutable std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Node>> nodes_;
    std::string problem_;
};

} // namespace brindle
