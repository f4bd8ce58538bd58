// The lasting-request contract: no callback after DeleteRequestFromUnitId returns, and a callback
// may delete its own request.
#include <atomic>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <thread>

#include "EventLog.h"
#include "hidserv/HidService.h"
#include "hidserv/SimBackend.h"
#include "kbdsim/SimServer.h"
#include "kbdsim/VirtualKeyboard.h"

namespace brindle {
namespace {

// Callbacks are plain functions: the test's state lives here.
std::promise<void>* g_entered = nullptr;
std::shared_future<void>* g_release = nullptr;
std::atomic<bool> g_callbackLeft{false};
std::atomic<int> g_calls{0};
HidService* g_service = nullptr;
std::atomic<uint32_t> g_ownUnitId{0};

int BlockingCallback(const HidEventRecord* event) {
    if (event->kind != HID_EVENT_INPUT)
        return 1;
    ++g_calls;
    g_entered->set_value();
    g_release->wait();
    g_callbackLeft = true;
    return 1;
}

int SelfDeletingCallback(const HidEventRecord* event) {
    if (event->kind == HID_EVENT_INPUT) {
        ++g_calls;
        g_service->DeleteRequestFromUnitId(g_ownUnitId);
    }
    return 1;
}

class HidServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/hidserv-service-XXXXXX";
        dir_ = mkdtemp(pattern);
        server_ = std::make_unique<SimServer>(keyboard_, dir_ + "/kbd.sock");
        ASSERT_TRUE(server_->Start());
        service_ = std::make_unique<HidService>(std::make_unique<SimBackend>(dir_ + "/kbd.sock"));
        ASSERT_TRUE(service_->Start());
        g_service = service_.get();
        g_calls = 0;
        g_callbackLeft = false;
        test::EventLog::Instance().Clear();
    }
    void TearDown() override {
        service_.reset();
        server_.reset();
        std::filesystem::remove_all(dir_);
    }
    uint32_t Listen(HidCallback callback, uint32_t tag) {
        const HidDeviceFilter f = test::ConsumerFilter();
        uint32_t unitId = 0;
        EXPECT_EQ(1, service_->RequestAsyncRead(&f, callback, tag,
                                                HidRequestCode(&f, callback, tag, nullptr, 0),
                                                &unitId));
        return unitId;
    }

    std::string dir_;
    VirtualKeyboard keyboard_;
    std::unique_ptr<SimServer> server_;
    std::unique_ptr<HidService> service_;
};

TEST_F(HidServiceTest, DeleteWhileCallbackRuns_returnsOnlyAfterItEnds) {
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    g_entered = &entered;
    g_release = &released;
    const uint32_t unitId = Listen(&BlockingCallback, 1);
    ASSERT_EQ(0, server_->RunCommand("bank-key"));
    entered.get_future().wait(); // the callback runs on the library's thread and waits

    std::atomic<bool> leftBeforeDelete{false};
    std::thread remover([&] {
        EXPECT_EQ(1, service_->DeleteRequestFromUnitId(unitId));
        leftBeforeDelete = g_callbackLeft.load();
    });
    // Give a wrong implementation the chance to return early.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release.set_value();
    remover.join();
    EXPECT_TRUE(leftBeforeDelete);

    // Deleted: the next notification reaches only the request still registered.
    Listen(&test::EventLog::Callback, 2);
    ASSERT_EQ(0, server_->RunCommand("bank-key"));
    EXPECT_TRUE(test::EventLog::Instance().WaitFor(
        [](const test::Event& e) { return e.kind == HID_EVENT_INPUT && e.tag == 2; }));
    EXPECT_EQ(1, g_calls);
}

TEST_F(HidServiceTest, CallbackDeletesItself_noDeadlockAndNoMoreCalls) {
    g_ownUnitId = Listen(&SelfDeletingCallback, 1);
    Listen(&test::EventLog::Callback, 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(0, server_->RunCommand("bank-key"));
        ASSERT_TRUE(test::EventLog::Instance().WaitFor(
            [](const test::Event& e) { return e.kind == HID_EVENT_INPUT && e.tag == 2; }));
    }
    EXPECT_EQ(1, g_calls);
}

TEST_F(HidServiceTest, UnitIds_uniqueAndNonZero) {
    const uint32_t a = Listen(&test::EventLog::Callback, 1);
    const uint32_t b = Listen(&test::EventLog::Callback, 1);
    EXPECT_NE(0u, a);
    EXPECT_NE(a, b);
    EXPECT_EQ(1, service_->DeleteRequestFromUnitId(a));
    EXPECT_NE(a, Listen(&test::EventLog::Callback, 1));
}

} // namespace
} // namespace brindle
