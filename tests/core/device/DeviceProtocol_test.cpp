#include "core/device/DeviceProtocol.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include "FakeHidServ.h"
#include "core/device/DeviceConnection.h"

namespace brindle {
namespace {

using testing::FakeHidServ;

ExchangeSettings FastSettings() {
    ExchangeSettings s;
    s.answerTimeout = std::chrono::milliseconds(30);
    s.retryBackoff = std::chrono::milliseconds(0);
    s.staleFlagBackoff = std::chrono::milliseconds(0);
    s.endTransferDelay = std::chrono::milliseconds(0);
    return s;
}

// A protocol whose answers come back through the connection's control channel, as in the program.
class DeviceProtocolTest : public ::testing::Test {
protected:
    DeviceProtocolTest()
        : protocol(FakeHidServ::Api(), FastSettings()), connection(protocol, nullptr) {
        connection.StartControlChannel();
    }
    FakeHidServ keyboard;
    DeviceProtocol protocol;
    DeviceConnection connection;
};

uint16_t Checksum(const Report& r) {
    return static_cast<uint16_t>(r[1] | (r[2] << 8));
}

TEST_F(DeviceProtocolTest, ExchangeReport_shortRequest_paddedToSixtyFourBytes) {
    const uint8_t request[] = {4, 0, 0, cmd::kReadSettings, 44};
    uint8_t reply[64] = {};
    size_t delivered = 99;
    // The fake refuses any write whose request code is not over the whole padded report.
    ASSERT_EQ(protocol.ExchangeReport(request, sizeof(request), reply, sizeof(reply), &delivered),
              1);
    EXPECT_EQ(delivered, 64u);
    EXPECT_EQ(reply[3], cmd::kReadSettings);
    const Report sent = keyboard.Log().at(0);
    for (size_t i = sizeof(request); i < kReportSize; ++i)
        EXPECT_EQ(sent[i], 0) << i;
}

TEST_F(DeviceProtocolTest, ExchangeReport_smallReplyBuffer_copiesOnlyCapacity) {
    const Report request = MakeRequest(cmd::kReadSettings, 44, 0);
    uint8_t reply[16] = {};
    size_t delivered = 0;
    ASSERT_EQ(protocol.ExchangeReport(request.data(), 64, reply, 8, &delivered), 1);
    EXPECT_EQ(delivered, 8u);
    EXPECT_EQ(reply[8], 0); // beyond the capacity nothing was written
}

TEST_F(DeviceProtocolTest, Requests_carryChecksumOfBytesThreeOnward) {
    uint8_t block[kSettingsBlockSize];
    ASSERT_EQ(protocol.BeginTransfer(), 1);
    ASSERT_EQ(protocol.ReadSettingsBlock(block), 1);
    const auto log = keyboard.Log();
    EXPECT_EQ(log[0][1], 1);
    EXPECT_EQ(log[0][2], 0);
    EXPECT_EQ(log[1][1], 47);
    EXPECT_EQ(log[1][2], 0);
    EXPECT_EQ(std::vector<uint8_t>(block, block + 44), keyboard.settings);
}

struct FaultCase {
    const char* name;
    std::function<void(FakeHidServ&)> inject;
    int expected;
    size_t sends;
};

class ExchangeFaultTest : public DeviceProtocolTest,
                          public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ExchangeFaultTest, ReadSettingsBlock_fault_givesResultAfterAttempts) {
    GetParam().inject(keyboard);
    uint8_t block[kSettingsBlockSize] = {};
    EXPECT_EQ(protocol.ReadSettingsBlock(block), GetParam().expected);
    EXPECT_EQ(keyboard.Log().size(), GetParam().sends);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ExchangeFaultTest,
    ::testing::Values(
        FaultCase{"dropTwo_thirdSucceeds", [](FakeHidServ& k) { k.Drop(2); }, 1, 3},
        FaultCase{"dropThree_noAnswer", [](FakeHidServ& k) { k.Drop(3); }, -2, 3},
        FaultCase{"echoThree_noAnswer", [](FakeHidServ& k) { k.Echo(3); }, -2, 3},
        FaultCase{"echoOne_secondSucceeds", [](FakeHidServ& k) { k.Echo(1); }, 1, 2},
        FaultCase{"statusFFThree_minus102", [](FakeHidServ& k) { k.Status(0xFF, 3); }, -102, 3},
        FaultCase{"statusFEThree_minus103", [](FakeHidServ& k) { k.Status(0xFE, 3); }, -103, 3},
        FaultCase{"statusFFTwo_thirdSucceeds", [](FakeHidServ& k) { k.Status(0xFF, 2); }, 1, 3},
        FaultCase{"statusOne_isSuccess", [](FakeHidServ& k) { k.Status(0x01, 1); }, 1, 1},
        FaultCase{"writeRefused_noRetry", [](FakeHidServ& k) { k.RefuseWrites(); }, -1, 1},
        FaultCase{"noKeyboard_nothingSent", [](FakeHidServ& k) { k.present = 0; }, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceProtocolTest, ExchangeReport_noKeyboard_deliveredZero) {
    keyboard.present = 0;
    uint8_t reply[64];
    size_t delivered = 7;
    const Report request = MakeRequest(cmd::kBeginTransfer, 0, 0);
    EXPECT_EQ(protocol.ExchangeReport(request.data(), 64, reply, 64, &delivered), 0);
    EXPECT_EQ(delivered, 0u);
}

TEST_F(DeviceProtocolTest, OnControlData_noExchangeWaiting_dropped) {
    std::vector<uint8_t> stray(64, 0);
    stray[3] = cmd::kReadSettings;
    stray[8] = 0xAB;
    keyboard.SendUnasked(stray);
    keyboard.Flush();
    uint8_t block[kSettingsBlockSize] = {};
    ASSERT_EQ(protocol.ReadSettingsBlock(block), 1);
    EXPECT_EQ(block[0], keyboard.settings[0]);
}

TEST_F(DeviceProtocolTest, WriteKeyTable_sendsSevenChunksAtProfileBase) {
    std::vector<uint8_t> table(kKeyTableSize);
    std::iota(table.begin(), table.end(), 0);
    ASSERT_EQ(protocol.WriteKeyTable(table.data(), 1), 1);
    const auto log = keyboard.Log();
    ASSERT_EQ(log.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(log[i][3], cmd::kWriteKeyTable);
        EXPECT_EQ(log[i][4], i < 6 ? 56 : 42) << i;
        EXPECT_EQ(ReportAddress(log[i]), 378 + 56 * i) << i;
        EXPECT_EQ(log[i][8], table[56 * i]);
        EXPECT_EQ(Checksum(log[i]), ReportChecksum(log[i]));
    }
    EXPECT_EQ(log[6][8 + 42], 0); // past the last chunk's data: padding
    std::vector<uint8_t> back(kKeyTableSize);
    ASSERT_EQ(protocol.ReadKeyTable(back.data(), 1), 1);
    EXPECT_EQ(back, table);
}

TEST_F(DeviceProtocolTest, MacroArea_chunksByFiftySixAndZeroSendsNothing) {
    std::vector<uint8_t> area(100, 0x5A);
    ASSERT_EQ(protocol.WriteMacroArea(area.data(), 0), 1);
    EXPECT_TRUE(keyboard.Log().empty());
    ASSERT_EQ(protocol.WriteMacroArea(area.data(), area.size()), 1);
    const auto log = keyboard.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0][4], 56);
    EXPECT_EQ(ReportAddress(log[0]), 0);
    EXPECT_EQ(log[1][4], 44);
    EXPECT_EQ(ReportAddress(log[1]), 56);
    std::vector<uint8_t> back(100);
    ASSERT_EQ(protocol.ReadMacroArea(back.data(), back.size()), 1);
    EXPECT_EQ(back, area);
}

TEST_F(DeviceProtocolTest, KeyTable_badProfile_minus201NothingSent) {
    uint8_t table[kKeyTableSize] = {};
    for (int profile : {-1, 3}) {
        EXPECT_EQ(protocol.ReadKeyTable(table, profile), -201);
        EXPECT_EQ(protocol.WriteKeyTable(table, profile), -201);
        EXPECT_EQ(protocol.SetActiveProfile(profile), -201);
    }
    EXPECT_TRUE(keyboard.Log().empty());
}

TEST_F(DeviceProtocolTest, ChunkedRead_keyboardLeavesMidway_stopsAndKeepsEarlierChunks) {
    std::vector<uint8_t> table(kKeyTableSize, 0);
    keyboard.UnplugAfter(3); // two chunks answer, the third is lost with the keyboard
    EXPECT_EQ(protocol.ReadDefaultKeyTable(table.data()), -1);
    EXPECT_EQ(keyboard.Log().size(), 4u); // the lost attempt and the refused retry
    EXPECT_TRUE(std::equal(table.begin(), table.begin() + 112, keyboard.factory.begin()));
    EXPECT_EQ(table[112], 0);
}

TEST_F(DeviceProtocolTest, EnterBootMode_oneUnsealedReportNoWait) {
    EXPECT_EQ(protocol.EnterBootMode(), 1);
    const auto log = keyboard.Log();
    ASSERT_EQ(log.size(), 1u);
    Report expected{};
    expected[0] = 4;
    expected[3] = 0xEE;
    expected[4] = 0xEE;
    EXPECT_EQ(log[0], expected);
}

TEST_F(DeviceProtocolTest, ActiveProfile_cachedAfterFirstReadAndSetKeepsOtherBytes) {
    EXPECT_EQ(protocol.GetActiveProfile(), 0);
    EXPECT_EQ(protocol.GetActiveProfile(), 0);
    EXPECT_EQ(keyboard.Log().size(), 1u);

    std::vector<uint8_t> expected = keyboard.settings;
    expected[10] = 2;
    EXPECT_EQ(protocol.SetActiveProfile(2), 1);
    EXPECT_EQ(keyboard.settings, expected);
    keyboard.ClearLog();
    EXPECT_EQ(protocol.GetActiveProfile(), 2);
    EXPECT_TRUE(keyboard.Log().empty());

    keyboard.Status(0xFF, 3); // the read fails: nothing is written and the cache stays
    EXPECT_EQ(protocol.SetActiveProfile(1), -102);
    EXPECT_EQ(keyboard.settings[10], 2);
    EXPECT_EQ(protocol.GetActiveProfile(), 2);

    keyboard.UnplugAfter(2); // the read answers, the write is lost: the cache is forgotten
    EXPECT_LT(protocol.SetActiveProfile(1), 1);
    keyboard.present = 3;
    keyboard.ClearLog();
    EXPECT_EQ(protocol.GetActiveProfile(), 2);
    EXPECT_EQ(keyboard.Log().size(), 1u);
}

TEST_F(DeviceProtocolTest, WriteKeyColours_addressFromShownProfileAndFirstKey) {
    const uint8_t rgb[6] = {1, 2, 3, 4, 5, 6};
    protocol.SetShownProfile(2);
    ASSERT_EQ(protocol.WriteKeyColours(rgb, 6, 18), 1);
    const Report sent = keyboard.Log().at(0);
    EXPECT_EQ(ReportAddress(sent), 2 * 512 + 18 * 3);
    EXPECT_EQ(sent[4], 6);
    EXPECT_EQ(keyboard.colours[2 * 512 + 54 + 5], 6);
}

TEST_F(DeviceProtocolTest, SingleWrites_longerThanOneReport_refusedNothingSent) {
    const std::vector<uint8_t> bytes(57, 1);
    EXPECT_EQ(protocol.WriteLightingArea(bytes.data(), 57, 0), 0);
    EXPECT_EQ(protocol.WriteKeyColours(bytes.data(), 57, 0), 0);
    EXPECT_TRUE(keyboard.Log().empty());
}

TEST_F(DeviceProtocolTest, ReadLightingArea_alwaysFiftySixBytes) {
    for (size_t i = 0; i < keyboard.lighting.size(); ++i)
        keyboard.lighting[i] = static_cast<uint8_t>(i + 1);
    uint8_t out[56] = {};
    ASSERT_EQ(protocol.ReadLightingArea(out, 1, 42), 1);
    EXPECT_EQ(keyboard.Log().at(0)[4], 1);
    EXPECT_EQ(out[0], 43);
    EXPECT_EQ(out[55], 98);
}

TEST_F(DeviceProtocolTest, FourThreads_eachGetsItsOwnAnswer) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                uint8_t table[kKeyTableSize] = {};
                const int r =
                    t < 3 ? protocol.ReadKeyTable(table, t) : protocol.ReadDefaultKeyTable(table);
                const uint8_t* want =
                    t < 3 ? keyboard.keyTables.data() + t * kKeyTableSize : keyboard.factory.data();
                if (r != 1 || std::memcmp(table, want, kKeyTableSize) != 0)
                    ++wrong;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
} // namespace brindle
