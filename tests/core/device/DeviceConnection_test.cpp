#include "core/device/DeviceConnection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "FakeHidServ.h"
#include "RecorderPort.h"

namespace brindle {
namespace {

using testing::FakeHidServ;
using testing::RecorderPort;

class Messages : public UserMessages {
public:
    void ShowInfo(const std::u16string& text) override {
        std::lock_guard lock(mutex);
        shown.push_back(text);
    }
    bool AskYesNo(const std::u16string&) override { return false; }
    std::mutex mutex;
    std::vector<std::u16string> shown;
};

ExchangeSettings Fast() {
    ExchangeSettings s;
    s.answerTimeout = std::chrono::milliseconds(30);
    s.retryBackoff = s.staleFlagBackoff = s.endTransferDelay = std::chrono::milliseconds(0);
    return s;
}

ConnectionSettings FastConnection(bool hidden = false) {
    ConnectionSettings s;
    s.startedHidden = hidden;
    s.initPoll = s.iconPoll = s.iconHold = std::chrono::milliseconds(1);
    s.busyHideDelay = std::chrono::milliseconds(0);
    return s;
}

const std::string kProf = "send 5452 50524f46";
const std::string kRemoved = "send 4753 0";
const std::string kOpen = "post 5350 4f50454e";

class DeviceConnectionTest : public ::testing::Test {
protected:
    DeviceConnectionTest() : protocol(FakeHidServ::Api(), Fast()) {}

    std::unique_ptr<DeviceConnection> Start(bool hidden = false) {
        ConnectionHooks hooks;
        hooks.factoryTableRead = [this](std::span<const uint8_t, kKeyTableSize> t) {
            std::lock_guard lock(factoryMutex);
            factoryTable.assign(t.begin(), t.end());
        };
        hooks.messages = &messages;
        hooks.lookUp = [](std::u16string_view key) { return std::u16string(key); };
        auto c = std::make_unique<DeviceConnection>(protocol, &port, FastConnection(hidden),
                                                    std::move(hooks));
        c->StartDeviceConnection();
        return c;
    }
    // Delivers pending events, then waits for the connection's threads.
    void Settle(DeviceConnection& c) {
        keyboard.Flush();
        c.WaitIdle();
    }

    FakeHidServ keyboard;
    DeviceProtocol protocol;
    RecorderPort port;
    Messages messages;
    std::mutex factoryMutex;
    std::vector<uint8_t> factoryTable;
};

TEST_F(DeviceConnectionTest, Start_keyboardPresent_readsTablesThenShowsOnce) {
    keyboard.settings[11] = 32;
    auto c = Start();
    Settle(*c);
    EXPECT_EQ(port.Events(), (std::vector<std::string>{kProf, "tray 141", kOpen}));
    EXPECT_EQ(factoryTable, keyboard.factory);
    EXPECT_EQ(c->MacroCapacity(), 32 * 128);
    const auto log = keyboard.Log();
    ASSERT_EQ(log.size(), 8u); // seven factory-table chunks, then the settings block
    EXPECT_EQ(log[0][3], cmd::kReadDefaultKeyTable);
    EXPECT_EQ(log[7][3], cmd::kReadSettings);

    port.Clear();
    keyboard.Plug(3); // the same count again: nothing runs
    Settle(*c);
    EXPECT_TRUE(port.Events().empty());
}

TEST_F(DeviceConnectionTest, Start_hidden_attachesWithoutShowing) {
    auto c = Start(true);
    Settle(*c);
    EXPECT_EQ(port.Events(), (std::vector<std::string>{kProf, "tray 141"}));
}

TEST_F(DeviceConnectionTest, Start_noKeyboard_laterAttachDoesNotShow) {
    keyboard.present = 0;
    auto c = Start();
    Settle(*c);
    EXPECT_TRUE(port.Events().empty()); // count 0 = the last known count: nothing to run
    EXPECT_TRUE(keyboard.Log().empty());
    EXPECT_TRUE(c->AutoShowDone());

    keyboard.Plug(3);
    Settle(*c);
    EXPECT_EQ(port.Events(), (std::vector<std::string>{kProf, "tray 141"}));
}

TEST_F(DeviceConnectionTest, Unplug_hidesAndForgetsProfile_replugRunsAttachAgain) {
    auto c = Start();
    Settle(*c);
    ASSERT_EQ(protocol.GetActiveProfile(), 0);
    port.Clear();

    keyboard.Plug(0);
    Settle(*c);
    EXPECT_EQ(port.Events(), (std::vector<std::string>{kRemoved, "hide", "tray 128"}));
    EXPECT_EQ(c->LastKnownCount(), 0);

    keyboard.Plug(3);
    Settle(*c);
    keyboard.ClearLog();
    EXPECT_EQ(protocol.GetActiveProfile(), 0);
    EXPECT_EQ(keyboard.Log().size(), 1u); // the cache was emptied by the removal
    EXPECT_EQ(port.Events(),
              (std::vector<std::string>{kRemoved, "hide", "tray 128", kProf, "tray 141"}));
}

TEST_F(DeviceConnectionTest, PullOutDuringChunkedWrite_failsThenReplugAttaches) {
    auto c = Start();
    Settle(*c);
    port.Clear();
    std::vector<uint8_t> table(kKeyTableSize, 9);
    keyboard.UnplugAfter(4);
    EXPECT_LT(protocol.WriteKeyTable(table.data(), 0), 1);
    Settle(*c);
    EXPECT_TRUE(port.WaitFor("tray 128"));
    keyboard.Plug(3);
    Settle(*c);
    EXPECT_EQ(port.Events(),
              (std::vector<std::string>{kRemoved, "hide", "tray 128", kProf, "tray 141"}));
}

TEST_F(DeviceConnectionTest, PresenceWorker_waitsForInitialisationBeforeTrayIcon) {
    port.initialised = false;
    auto c = Start();
    ASSERT_TRUE(port.WaitFor(kProf));
    EXPECT_EQ(port.Events(), (std::vector<std::string>{kProf}));
    port.initialised = true;
    Settle(*c);
    EXPECT_EQ(port.Events(), (std::vector<std::string>{kProf, "tray 141", kOpen}));
}

TEST_F(DeviceConnectionTest, Attach_tablesUnreadable_promptsAndKeepsCapacity) {
    keyboard.Status(0xFF, 1000);
    auto c = Start();
    Settle(*c);
    EXPECT_EQ(messages.shown, (std::vector<std::u16string>{u"IDS_MIAN_DEFAULT_PROMPT"}));
    EXPECT_TRUE(factoryTable.empty());
    EXPECT_EQ(c->MacroCapacity(), 0);
    EXPECT_EQ(port.Events().at(0), kProf);
}

TEST_F(DeviceConnectionTest, ConsumerCodes_eachHasItsEffect) {
    auto c = Start();
    Settle(*c);
    port.Clear();

    keyboard.PressConsumer(kConsumerBankToggle);
    Settle(*c);
    keyboard.PressConsumer(kConsumerBankToggle);
    Settle(*c);
    const auto writes = keyboard.StatusWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].tag, kTagBank);
    EXPECT_EQ(writes[0].data, (std::vector<uint8_t>{5, 3}));
    EXPECT_EQ(writes[1].data, (std::vector<uint8_t>{5, 2}));
    EXPECT_EQ(port.Events(), (std::vector<std::string>{"send 5045 4c4544", "send 5045 4c4544"}));
    port.Clear();

    for (uint16_t code :
         {kConsumerProfileChanged, kConsumerBacklightOn, kConsumerBacklightOff, uint16_t{0x1801}}) {
        keyboard.PressConsumer(code);
        Settle(*c);
    }
    EXPECT_EQ(port.Events(), (std::vector<std::string>{"timer 1051 0", "tray 142", "tray 141"}));
}

TEST_F(DeviceConnectionTest, BusyIndicator_showThenHideInOrder) {
    keyboard.present = 0;
    auto c = Start(true);
    Settle(*c);
    port.Clear();
    c->ShowBusy();
    c->HideBusy();
    ASSERT_TRUE(port.WaitFor("busy hide"));
    EXPECT_EQ(port.Events(),
              (std::vector<std::string>{"busy show", "timer 1050 50", "kill 1050", "busy hide"}));
}

} // namespace
} // namespace brindle
