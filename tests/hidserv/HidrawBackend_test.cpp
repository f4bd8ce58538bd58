// The hidraw backend on a fake sysfs tree, with socket pairs standing in for the nodes.
#include <arpa/inet.h>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "EventLog.h"
#include "hidserv/HidService.h"
#include "hidserv/HidrawBackend.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using test::Event;
using test::EventLog;

const std::vector<uint8_t> kControlDescriptor = {
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x15, 0x00, 0x26,
    0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};
const std::vector<uint8_t> kConsumerDescriptor = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03,
                                                  0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};
const std::vector<uint8_t> kLocksDescriptor = {0x05, 0x08, 0x09, 0x89, 0xA1, 0x01, 0x75,
                                               0x08, 0x95, 0x02, 0x91, 0x02, 0xC0};
constexpr const char* kKeyboardId = "HID_ID=0003:00000C45:00005204";

class HidrawBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        EventLog::Instance().Clear();
        char pattern[] = "/tmp/hidserv-sysfs-XXXXXX";
        root_ = mkdtemp(pattern);
    }
    void TearDown() override {
        service_.reset();
        std::lock_guard lock(mutex_);
        for (auto& [path, fds] : peers_)
            ::close(fds);
        fs::remove_all(root_);
    }

    void AddNode(const std::string& name, const char* hidId, const std::vector<uint8_t>& desc) {
        const fs::path device = fs::path(root_) / "sys/class/hidraw" / name / "device";
        fs::create_directories(device);
        std::ofstream(device / "uevent") << "DRIVER=hid-generic\n" << hidId << "\nHID_NAME=x\n";
        std::ofstream(device / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(desc.data()), std::streamsize(desc.size()));
    }
    void AddKeyboard() {
        AddNode("hidraw1", kKeyboardId, kControlDescriptor);
        AddNode("hidraw2", kKeyboardId, kConsumerDescriptor);
        AddNode("hidraw3", kKeyboardId, kLocksDescriptor);
        AddNode("hidraw0", "HID_ID=0003:0000046D:0000C077", kControlDescriptor); // another mouse
    }
    std::string Dev(const std::string& name) { return root_ + "/dev/" + name; }

    // Each open gives the backend one end of a fresh socket pair; the test keeps the other.
    int Open(const std::string& path) {
        std::lock_guard lock(mutex_);
        if (auto it = refuse_.find(path); it != refuse_.end())
            return -it->second;
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds) != 0)
            return -errno;
        if (peers_.count(path))
            ::close(peers_[path]);
        peers_[path] = fds[1];
        return fds[0];
    }
    int Peer(const std::string& name) {
        std::lock_guard lock(mutex_);
        return peers_.at(Dev(name));
    }
    void Refuse(const std::string& name, int error) {
        std::lock_guard lock(mutex_);
        refuse_[Dev(name)] = error;
    }

    void StartService() {
        HidrawOptions options;
        options.sysfsRoot = root_ + "/sys";
        options.devRoot = root_ + "/dev";
        options.openNode = [this](const std::string& path) { return Open(path); };
        options.rescanInterval = std::chrono::milliseconds(10);
        service_ = std::make_unique<HidService>(std::make_unique<HidrawBackend>(options));
        ASSERT_TRUE(service_->Start());
    }
    int Count(const HidDeviceFilter& f) {
        return service_->RequestGetDeviceCount(&f, nullptr, 0,
                                               HidRequestCode(&f, nullptr, 0, nullptr, 0), nullptr);
    }
    void Listen(const HidDeviceFilter& f, uint32_t tag) {
        uint32_t unitId = 0;
        ASSERT_EQ(1, service_->RequestAsyncRead(
                         &f, &EventLog::Callback, tag,
                         HidRequestCode(&f, &EventLog::Callback, tag, nullptr, 0), &unitId));
    }
    static auto Change(uint32_t tag, uint32_t count) {
        return [=](const Event& e) {
            return e.kind == HID_EVENT_DEVICE_CHANGE && e.tag == tag && e.count == count;
        };
    }

    std::string root_;
    std::mutex mutex_;
    std::map<std::string, int> peers_;
    std::map<std::string, int> refuse_;
    std::unique_ptr<HidService> service_;
};

TEST_F(HidrawBackendTest, FakeSysfs_findsThreeInterfacesByUsage) {
    AddKeyboard();
    StartService();
    EXPECT_EQ(1, Count(test::ControlFilter()));
    EXPECT_EQ(1, Count(test::ConsumerFilter()));
    EXPECT_EQ(1, Count(test::LocksFilter()));
    EXPECT_EQ(0, Count(test::Filter(0x0001, 0x0006)));
    EXPECT_EQ("", service_->LastProblem());
}

TEST_F(HidrawBackendTest, WriteAndInput_reachTheRightNodes) {
    AddKeyboard();
    StartService();
    Listen(test::ControlFilter(), test::kTagCtrl);
    Listen(test::ConsumerFilter(), test::kTagCons);

    std::vector<uint8_t> report(64, 0);
    report[0] = 4;
    report[3] = 3;
    const HidDeviceFilter control = test::ControlFilter();
    ASSERT_EQ(1, service_->RequestWriteOne(&control, nullptr, 0, report.data(), 64,
                                           HidRequestCode(&control, nullptr, 0, report.data(), 64),
                                           nullptr));
    uint8_t got[128];
    ASSERT_EQ(64, ::read(Peer("hidraw1"), got, sizeof(got)));
    EXPECT_EQ(4, got[0]);
    EXPECT_EQ(3, got[3]);

    got[7] = 0;
    ASSERT_EQ(64, ::write(Peer("hidraw1"), got, 64));
    Event answer;
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return e.kind == HID_EVENT_INPUT; }, &answer));
    EXPECT_EQ(test::kTagCtrl, answer.tag);
    EXPECT_EQ(64u, answer.data.size());
    EXPECT_EQ(-1, answer.consumerCode);

    const uint8_t consumer[3] = {3, 0xFF, 0x02}; // report id 3, bank toggle
    ASSERT_EQ(3, ::write(Peer("hidraw2"), consumer, 3));
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return e.kind == HID_EVENT_INPUT; }, &answer));
    EXPECT_EQ(test::kTagCons, answer.tag);
    EXPECT_EQ(0x02FF, answer.consumerCode);
}

TEST_F(HidrawBackendTest, NodeHangsUp_countZeroThenBackWhenItReturns) {
    AddKeyboard();
    StartService();
    Listen(test::ControlFilter(), test::kTagCtrl);
    Listen(test::ConsumerFilter(), test::kTagCons);

    // The node goes away (POLLHUP) and cannot be opened again until the keyboard is back.
    Refuse("hidraw1", ENODEV);
    ::shutdown(Peer("hidraw1"), SHUT_RDWR);
    ASSERT_TRUE(EventLog::Instance().WaitFor(Change(test::kTagCtrl, 0)));
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_EQ(1, Count(test::ConsumerFilter())); // the other nodes stay

    {
        std::lock_guard lock(mutex_);
        refuse_.clear();
    }
    ASSERT_TRUE(EventLog::Instance().WaitFor(Change(test::kTagCtrl, 1)));
    for (const Event& e : EventLog::Instance().Events())
        EXPECT_NE(test::kTagCons, e.tag);
}

TEST_F(HidrawBackendTest, ReadErrorOnNode_countsAsGone) {
    AddNode("hidraw1", kKeyboardId, kControlDescriptor);
    HidrawOptions options;
    options.sysfsRoot = root_ + "/sys";
    options.devRoot = root_ + "/dev";
    // A node whose reads fail once written to, the way a revoked node fails with EIO: a UDP
    // socket aimed at a port nobody listens on (the write brings back "connection refused").
    std::atomic<int> opens{0};
    options.openNode = [&opens](const std::string&) {
        if (++opens > 1)
            return -EIO;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
        socklen_t size = sizeof(address);
        ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
        ::close(probe); // the port is free again: nobody listens there
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), size);
        return fd;
    };
    options.rescanInterval = std::chrono::milliseconds(10);
    service_ = std::make_unique<HidService>(std::make_unique<HidrawBackend>(options));
    ASSERT_TRUE(service_->Start());
    Listen(test::ControlFilter(), test::kTagCtrl);
    ASSERT_EQ(1, Count(test::ControlFilter()));

    const HidDeviceFilter control = test::ControlFilter();
    std::vector<uint8_t> report(64, 0);
    report[0] = 4;
    ASSERT_EQ(1, service_->RequestWriteOne(&control, nullptr, 0, report.data(), 64,
                                           HidRequestCode(&control, nullptr, 0, report.data(), 64),
                                           nullptr));
    ASSERT_TRUE(EventLog::Instance().WaitFor(Change(test::kTagCtrl, 0)));
    EXPECT_EQ(0, Count(test::ControlFilter()));
    service_.reset(); // the lambda's captures end with this test
}

TEST_F(HidrawBackendTest, SysfsEntryRemovedAndAdded_unplugAndPlug) {
    AddKeyboard();
    StartService();
    Listen(test::LocksFilter(), test::kTagDel);
    fs::remove_all(fs::path(root_) / "sys/class/hidraw/hidraw3");
    ASSERT_TRUE(EventLog::Instance().WaitFor(Change(test::kTagDel, 0)));
    AddNode("hidraw3", kKeyboardId, kLocksDescriptor);
    ASSERT_TRUE(EventLog::Instance().WaitFor(Change(test::kTagDel, 1)));
}

TEST_F(HidrawBackendTest, NodeNotPermitted_absentWithReason) {
    AddKeyboard();
    Refuse("hidraw1", EACCES);
    StartService();
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_EQ(1, Count(test::ConsumerFilter()));
    EXPECT_EQ("permission denied on " + Dev("hidraw1"), service_->LastProblem());
}

TEST_F(HidrawBackendTest, NoKeyboardOrBadDescriptor_absentWithReason) {
    StartService();
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_NE(std::string::npos, service_->LastProblem().find("no keyboard"));
    service_.reset();

    AddNode("hidraw5", kKeyboardId, {0x06, 0x1C});
    StartService();
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_NE(std::string::npos, service_->LastProblem().find("report descriptor of hidraw5"));
}

} // namespace
} // namespace brindle
