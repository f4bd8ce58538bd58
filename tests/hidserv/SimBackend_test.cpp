// The device service over the virtual keyboard's socket: the path the program and brindlectl use
// in every end-to-end test.
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>

#include "EventLog.h"
#include "core/device/Report.h"
#include "hidserv/HidService.h"
#include "hidserv/SimBackend.h"
#include "kbdsim/SimServer.h"
#include "kbdsim/VirtualKeyboard.h"

namespace brindle {
namespace {

using test::Event;
using test::EventLog;

constexpr auto kReconnect = std::chrono::milliseconds(10);

class SimBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        EventLog::Instance().Clear();
        char pattern[] = "/tmp/hidserv-sim-XXXXXX";
        dir_ = mkdtemp(pattern);
        socketPath_ = dir_ + "/kbd.sock";
    }
    void TearDown() override {
        service_.reset();
        server_.reset();
        std::filesystem::remove_all(dir_);
    }

    void StartKeyboard() {
        server_ = std::make_unique<SimServer>(keyboard_, socketPath_);
        ASSERT_TRUE(server_->Start());
    }
    void StartService() {
        service_ =
            std::make_unique<HidService>(std::make_unique<SimBackend>(socketPath_, kReconnect));
        ASSERT_TRUE(service_->Start());
    }
    uint32_t Listen(const HidDeviceFilter& filter, uint32_t tag) {
        uint32_t unitId = 0;
        const uint32_t code = HidRequestCode(&filter, &EventLog::Callback, tag, nullptr, 0);
        EXPECT_EQ(1, service_->RequestAsyncRead(&filter, &EventLog::Callback, tag, code, &unitId));
        EXPECT_NE(0u, unitId);
        return unitId;
    }
    int Count(const HidDeviceFilter& filter) {
        return service_->RequestGetDeviceCount(
            &filter, nullptr, 0, HidRequestCode(&filter, nullptr, 0, nullptr, 0), nullptr);
    }
    int Send(const Report& report) {
        const HidDeviceFilter filter = test::ControlFilter();
        return service_->RequestWriteOne(
            &filter, nullptr, 0, report.data(), kReportSize,
            HidRequestCode(&filter, nullptr, 0, report.data(), kReportSize), nullptr);
    }
    static bool IsChange(const Event& e, uint32_t tag, uint32_t count) {
        return e.kind == HID_EVENT_DEVICE_CHANGE && e.tag == tag && e.count == count;
    }

    std::string dir_;
    std::string socketPath_;
    VirtualKeyboard keyboard_;
    std::unique_ptr<SimServer> server_;
    std::unique_ptr<HidService> service_;
};

TEST_F(SimBackendTest, WriteOne_settingsRead_answerReachesLastingRead) {
    StartKeyboard();
    StartService();
    EXPECT_EQ(1, Count(test::ControlFilter()));
    EXPECT_EQ(1, Count(test::ConsumerFilter()));
    EXPECT_EQ(0, Count(test::Filter(0x0001, 0x0006)));
    Listen(test::ControlFilter(), test::kTagCtrl);

    EXPECT_EQ(1, Send(MakeRequest(cmd::kReadSettings, 44, 0)));
    Event answer;
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return e.kind == HID_EVENT_INPUT; }, &answer));
    EXPECT_EQ(test::kTagCtrl, answer.tag);
    ASSERT_EQ(kReportSize, answer.data.size());
    EXPECT_EQ(kReportId, answer.data[0]);
    EXPECT_EQ(cmd::kReadSettings, answer.data[3]);
    EXPECT_EQ(0, answer.data[7]);
    EXPECT_EQ(64, answer.data[kReportPayloadOffset + 11]);
    EXPECT_EQ(-1, answer.consumerCode);
}

TEST_F(SimBackendTest, RequestCode_wrong_refusedAndNothingSent) {
    StartKeyboard();
    StartService();
    const HidDeviceFilter filter = test::ControlFilter();
    const Report report = MakeRequest(cmd::kBeginTransfer, 0, 0);
    const uint32_t good = HidRequestCode(&filter, nullptr, 0, report.data(), kReportSize);
    uint32_t unitId = 7;
    EXPECT_EQ(0, service_->RequestWriteOne(&filter, nullptr, 0, report.data(), kReportSize,
                                           good + 1, &unitId));
    EXPECT_EQ(0u, unitId);
    EXPECT_EQ(0, service_->RequestGetDeviceCount(&filter, nullptr, 0, 12345, nullptr));
    EXPECT_EQ(0, service_->RequestAsyncRead(&filter, &EventLog::Callback, 1, good, &unitId));
    EXPECT_EQ(0, service_->RequestWriteOne(nullptr, nullptr, 0, report.data(), kReportSize, good,
                                           nullptr));
    // The code covers the payload: the same code with one byte changed is refused too.
    Report changed = report;
    changed[10] = 1;
    EXPECT_EQ(0, service_->RequestWriteOne(&filter, nullptr, 0, changed.data(), kReportSize, good,
                                           nullptr));
    // One good round trip: the keyboard received that report and none of the refused ones.
    Listen(filter, test::kTagCtrl);
    EXPECT_EQ(1, Send(report));
    ASSERT_TRUE(
        EventLog::Instance().WaitFor([](const Event& e) { return e.kind == HID_EVENT_INPUT; }));
    EXPECT_EQ(1u, keyboard_.Log().size());
}

TEST_F(SimBackendTest, KeyboardStartsLater_thenGoesAway_plugAndUnplugEvents) {
    StartService();
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_NE(std::string::npos, service_->LastProblem().find("no virtual keyboard listens"));
    Listen(test::ControlFilter(), test::kTagCtrl);

    StartKeyboard();
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return IsChange(e, test::kTagCtrl, 1); }));
    EXPECT_EQ(1, Count(test::ControlFilter()));
    EXPECT_EQ("", service_->LastProblem());

    server_->Stop();
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return IsChange(e, test::kTagCtrl, 0); }));
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_EQ(0, Send(MakeRequest(cmd::kBeginTransfer, 0, 0)));

    ASSERT_TRUE(server_->Start()); // reconnects on its own
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return IsChange(e, test::kTagCtrl, 1); }));
}

TEST_F(SimBackendTest, CtlUnplugAndPlug_deviceChangesToEveryFilter) {
    StartKeyboard();
    StartService();
    Listen(test::ControlFilter(), test::kTagCtrl);
    Listen(test::ConsumerFilter(), test::kTagCons);

    EXPECT_EQ(0, server_->RunCommand("unplug"));
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return IsChange(e, test::kTagCons, 0); }));
    EXPECT_EQ(0, Count(test::ControlFilter()));
    EXPECT_NE(std::string::npos, service_->LastProblem().find("unplugged"));
    EXPECT_EQ(0, Send(MakeRequest(cmd::kBeginTransfer, 0, 0)));

    EXPECT_EQ(0, server_->RunCommand("plug"));
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& e) { return IsChange(e, test::kTagCtrl, 1); }));
    EXPECT_EQ(1, Count(test::ConsumerFilter()));
}

TEST_F(SimBackendTest, ConsumerNotification_carriesCode) {
    StartKeyboard();
    StartService();
    Listen(test::ConsumerFilter(), test::kTagCons);
    ASSERT_EQ(0, server_->RunCommand("profile-key 2"));
    Event e;
    ASSERT_TRUE(
        EventLog::Instance().WaitFor([](const Event& x) { return x.kind == HID_EVENT_INPUT; }, &e));
    EXPECT_EQ(test::kTagCons, e.tag);
    EXPECT_EQ(0x0401, e.consumerCode);
    EXPECT_EQ(2, keyboard_.Settings()[10]);
}

TEST_F(SimBackendTest, StatusWrite_keyboardRecordsBankStatus) {
    StartKeyboard();
    StartService();
    const HidDeviceFilter filter = test::LocksFilter();
    const uint8_t bank[2] = {5, 3};
    uint32_t unitId = 0;
    EXPECT_EQ(1,
              service_->RequestStatusWrite(
                  &filter, &EventLog::Callback, test::kTagDel, bank, 2,
                  HidRequestCode(&filter, &EventLog::Callback, test::kTagDel, bank, 2), &unitId));
    EXPECT_NE(0u, unitId);
    // A control round trip orders the check after the keyboard handled the status write.
    Listen(test::ControlFilter(), test::kTagCtrl);
    Send(MakeRequest(cmd::kBeginTransfer, 0, 0));
    ASSERT_TRUE(EventLog::Instance().WaitFor(
        [](const Event& x) { return x.kind == HID_EVENT_INPUT && x.tag == test::kTagCtrl; }));
    EXPECT_EQ((std::vector<uint8_t>{5, 3}), keyboard_.BankStatus());
    EXPECT_EQ(1, service_->DeleteRequestFromUnitId(unitId));
    EXPECT_EQ(0, service_->DeleteRequestFromUnitId(unitId));
    EXPECT_EQ(0, service_->DeleteRequestFromUnitId(0));
}

TEST_F(SimBackendTest, TwoClients_eachGetsOnlyItsOwnAnswer) {
    StartKeyboard();
    StartService();
    HidService other(std::make_unique<SimBackend>(socketPath_, kReconnect));
    ASSERT_TRUE(other.Start());
    const HidDeviceFilter filter = test::ControlFilter();
    uint32_t unitId = 0;
    ASSERT_EQ(1, other.RequestAsyncRead(&filter, &EventLog::Callback, 2,
                                        HidRequestCode(&filter, &EventLog::Callback, 2, nullptr, 0),
                                        &unitId));
    Listen(filter, 1);

    EXPECT_EQ(1, Send(MakeRequest(cmd::kReadSettings, 44, 0)));
    const Report mine = MakeRequest(cmd::kReadDefaultKeyTable, 56, 0);
    EXPECT_EQ(1, other.RequestWriteOne(
                     &filter, nullptr, 0, mine.data(), kReportSize,
                     HidRequestCode(&filter, nullptr, 0, mine.data(), kReportSize), nullptr));
    // The two answers arrive on the two clients' own threads, in either order; a wait for one
    // tag would drop an earlier answer of the other, so each answer is taken as it comes.
    Event answers[2];
    bool seen[2] = {false, false};
    while (!seen[0] || !seen[1]) {
        Event e;
        ASSERT_TRUE(EventLog::Instance().WaitFor(
            [](const Event& x) { return x.kind == HID_EVENT_INPUT; }, &e))
            << "answers so far: tag 1 " << seen[0] << ", tag 2 " << seen[1];
        ASSERT_TRUE(e.tag == 1 || e.tag == 2) << e.tag;
        ASSERT_FALSE(seen[e.tag - 1]) << "second answer with tag " << e.tag;
        seen[e.tag - 1] = true;
        answers[e.tag - 1] = e;
    }
    ASSERT_EQ(kReportSize, answers[0].data.size());
    ASSERT_EQ(kReportSize, answers[1].data.size());
    EXPECT_EQ(cmd::kReadSettings, answers[0].data[3]);
    EXPECT_EQ(cmd::kReadDefaultKeyTable, answers[1].data[3]);
    other.Stop();
    // Each answer arrived once, at its own client only.
    for (const Event& e : EventLog::Instance().Events())
        EXPECT_NE(HID_EVENT_INPUT, e.kind) << "extra answer with tag " << e.tag;
}

} // namespace
} // namespace brindle
