// The virtual keyboard's memory map and answers, driven report by report.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <vector>

#include "core/device/Report.h"
#include "kbdsim/VirtualKeyboard.h"

namespace brindle {
namespace {

constexpr size_t kData = kReportPayloadOffset;

Report Ask(VirtualKeyboard& keyboard, const Report& request) {
    const KeyboardReaction r = keyboard.HandleReport(SimInterface::kControl, request);
    EXPECT_TRUE(r.answer.has_value());
    return r.answer.value_or(Report{});
}

struct CommandCase {
    const char* name;
    uint8_t command;
    uint8_t length;
    uint16_t address;
    uint8_t status;
};

class CommandStatusTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandStatusTest, Request_answersStatusAndEchoesCommand) {
    const CommandCase& c = GetParam();
    VirtualKeyboard keyboard;
    std::vector<uint8_t> payload(c.length, 0);
    const Report answer = Ask(keyboard, MakeRequest(c.command, c.length, c.address, payload));
    EXPECT_EQ(kReportId, answer[0]);
    EXPECT_EQ(c.command, answer[3]);
    EXPECT_EQ(c.status, answer[7]);
}

// Areas: settings 44, lighting 3 x 42, key tables 3 x 378, macro area 64 x 128, factory 378,
// per-key colours 3 x 512.
INSTANTIATE_TEST_SUITE_P(Commands, CommandStatusTest,
                         ::testing::Values(CommandCase{"begin", 1, 0, 0, 0},
                                           CommandCase{"end", 2, 0, 0, 0},
                                           CommandCase{"readSettings", 3, 44, 0, 0},
                                           CommandCase{"readSettingsPastEnd", 3, 44, 1, 0xFE},
                                           CommandCase{"writeSettings", 4, 44, 0, 0},
                                           CommandCase{"readLightingLastBlock", 5, 56, 84, 0},
                                           CommandCase{"readLightingOutside", 5, 56, 126, 0xFE},
                                           CommandCase{"writeLightingOneValue", 6, 1, 85, 0},
                                           CommandCase{"writeLightingPastEnd", 6, 2, 125, 0xFE},
                                           CommandCase{"readKeyTableLastChunk", 7, 42, 1092, 0},
                                           CommandCase{"readKeyTablePastEnd", 7, 56, 1092, 0xFE},
                                           CommandCase{"writeKeyTable", 8, 56, 378, 0},
                                           CommandCase{"readMacroLastBytes", 9, 56, 8136, 0},
                                           CommandCase{"readMacroPastEnd", 9, 56, 8137, 0xFE},
                                           CommandCase{"writeMacro", 10, 56, 0, 0},
                                           CommandCase{"readFactoryLastChunk", 15, 42, 336, 0},
                                           CommandCase{"readFactoryPastEnd", 15, 56, 336, 0xFE},
                                           CommandCase{"writeColoursLastKeys", 17, 54, 1402, 0},
                                           CommandCase{"writeColoursPastEnd", 17, 54, 1500, 0xFE},
                                           CommandCase{"lengthOverChunk", 7, 57, 0, 0xFE},
                                           CommandCase{"unknown11", 11, 0, 0, 0xFF},
                                           CommandCase{"unknown16", 16, 0, 0, 0xFF},
                                           CommandCase{"unknownHigh", 0x55, 0, 0, 0xFF}),
                         [](const ::testing::TestParamInfo<CommandCase>& info) {
                             return info.param.name;
                         });

TEST(VirtualKeyboard, BadChecksum_statusFFAndNothingWritten) {
    VirtualKeyboard keyboard;
    const std::vector<uint8_t> data(56, 0x77);
    Report request = MakeRequest(cmd::kWriteMacroArea, 56, 0, data);
    request[1] ^= 1;
    const Report answer = Ask(keyboard, request);
    EXPECT_EQ(cmd::kWriteMacroArea, answer[3]);
    EXPECT_EQ(kStatusBadRequest, answer[7]);
    EXPECT_EQ(0xAA, keyboard.Macros()[0]);
}

TEST(VirtualKeyboard, FreshMemory_settingsFactoryTablesAndEmptyMacroHeader) {
    VirtualKeyboard keyboard;
    const std::vector<uint8_t> settings = keyboard.Settings();
    ASSERT_EQ(kSettingsBlockSize, settings.size());
    EXPECT_EQ(0, settings[10]);
    EXPECT_EQ(64, settings[11]);
    std::vector<uint8_t> modes(settings.begin() + 12, settings.end());
    std::vector<uint8_t> expected(32, 0);
    std::iota(expected.begin(), expected.begin() + 18, 1);
    expected[18] = 20;
    EXPECT_EQ(expected, modes);

    const std::vector<uint8_t> factory = keyboard.FactoryTable();
    ASSERT_EQ(kKeyTableSize, factory.size());
    auto at = [&](size_t position) {
        return std::vector<uint8_t>(factory.begin() + position * 3,
                                    factory.begin() + position * 3 + 3);
    };
    EXPECT_EQ((std::vector<uint8_t>{5, 0, 0}), at(0));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0}), at(119));
    EXPECT_EQ((std::vector<uint8_t>{5, 2, 2}), at(53));
    EXPECT_EQ((std::vector<uint8_t>{3, 0xB6, 0}), at(112));
    EXPECT_EQ((std::vector<uint8_t>{3, 0xCD, 0}), at(120));
    EXPECT_EQ((std::vector<uint8_t>{2, 2, 0x63}), at(125));
    for (int p = 0; p < kProfileCount; ++p)
        EXPECT_EQ(factory, keyboard.KeyTable(p));

    const std::vector<uint8_t> macros = keyboard.Macros();
    ASSERT_EQ(8192u, macros.size());
    EXPECT_EQ((std::vector<uint8_t>{0xAA, 0x55, 16, 0, 0, 0, 0, 0}),
              std::vector<uint8_t>(macros.begin(), macros.begin() + 8));
}

TEST(VirtualKeyboard, CapacityAndModesOptions_shapeSettingsAndMacroArea) {
    VirtualKeyboard keyboard({.capacityUnits = 2, .modes = {3, 20}});
    EXPECT_EQ(2, keyboard.Settings()[11]);
    EXPECT_EQ(3, keyboard.Settings()[12]);
    EXPECT_EQ(20, keyboard.Settings()[13]);
    EXPECT_EQ(0, keyboard.Settings()[14]);
    EXPECT_EQ(256u, keyboard.Macros().size());
    EXPECT_EQ(0xFE, Ask(keyboard, MakeRequest(cmd::kReadMacroArea, 56, 201))[7]);
}

TEST(VirtualKeyboard, ChunkedKeyTableWrite_readsBackAndLeavesOtherProfiles) {
    VirtualKeyboard keyboard;
    std::vector<uint8_t> table(kKeyTableSize);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<uint8_t>(i * 7 + 1);
    const int profile = 1;
    for (size_t offset = 0; offset < kKeyTableSize; offset += kReportPayloadSize) {
        const size_t n = std::min(kReportPayloadSize, kKeyTableSize - offset);
        const Report answer =
            Ask(keyboard, MakeRequest(cmd::kWriteKeyTable, static_cast<uint8_t>(n),
                                      static_cast<uint16_t>(profile * kKeyTableSize + offset),
                                      std::span<const uint8_t>(table.data() + offset, n)));
        ASSERT_EQ(0, answer[7]) << "chunk at " << offset;
    }
    std::vector<uint8_t> read(kKeyTableSize);
    for (size_t offset = 0; offset < kKeyTableSize; offset += kReportPayloadSize) {
        const size_t n = std::min(kReportPayloadSize, kKeyTableSize - offset);
        const Report answer =
            Ask(keyboard, MakeRequest(cmd::kReadKeyTable, static_cast<uint8_t>(n),
                                      static_cast<uint16_t>(profile * kKeyTableSize + offset)));
        ASSERT_EQ(0, answer[7]);
        std::copy_n(answer.begin() + kData, n, read.begin() + offset);
    }
    EXPECT_EQ(table, read);
    EXPECT_EQ(keyboard.FactoryTable(), keyboard.KeyTable(0));
    EXPECT_EQ(keyboard.FactoryTable(), keyboard.KeyTable(2));
}

TEST(VirtualKeyboard, SettingsWrite_changesProfileKeepsKeyboardBytes) {
    VirtualKeyboard keyboard;
    std::vector<uint8_t> block = keyboard.Settings();
    block[0] = 0x11;
    block[10] = 2;
    block[11] = 9;  // the macro capacity is the keyboard's own
    block[12] = 99; // and so are its effect codes
    EXPECT_EQ(0, Ask(keyboard, MakeRequest(cmd::kWriteSettings, 44, 0, block))[7]);
    const std::vector<uint8_t> now = keyboard.Settings();
    EXPECT_EQ(0x11, now[0]);
    EXPECT_EQ(2, now[10]);
    EXPECT_EQ(64, now[11]);
    EXPECT_EQ(1, now[12]);

    block[10] = 3; // no such profile
    EXPECT_EQ(0xFE, Ask(keyboard, MakeRequest(cmd::kWriteSettings, 44, 0, block))[7]);
    EXPECT_EQ(2, keyboard.Settings()[10]);
}

TEST(VirtualKeyboard, LightingRead_alwaysFiftySixBytesZeroPastTheArea) {
    VirtualKeyboard keyboard;
    const std::vector<uint8_t> value = {4};
    Ask(keyboard, MakeRequest(cmd::kWriteLighting, 1, 2 * 42 + 1, value));
    const Report answer = Ask(keyboard, MakeRequest(cmd::kReadLighting, 1, 84));
    EXPECT_EQ(1, answer[kData]);     // mode of profile 2
    EXPECT_EQ(4, answer[kData + 1]); // the brightness just written
    for (size_t i = 42; i < 56; ++i)
        EXPECT_EQ(0, answer[kData + i]);
}

struct FaultCase {
    const char* name;
    KeyboardFaults faults;
    // What the first three requests see: -1 no answer, else the answer's command byte and status.
    std::vector<std::pair<int, int>> seen;
    int leavesAt; // index of the request after which the keyboard leaves, -1 none
};

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, Faults_applyToTheNextRequestsOnly) {
    const FaultCase& c = GetParam();
    VirtualKeyboard keyboard;
    keyboard.SetFaults(c.faults);
    for (size_t i = 0; i < c.seen.size(); ++i) {
        const KeyboardReaction r =
            keyboard.HandleReport(SimInterface::kControl, MakeRequest(cmd::kReadSettings, 44, 0));
        if (c.seen[i].first < 0) {
            EXPECT_FALSE(r.answer.has_value()) << "request " << i;
        } else {
            ASSERT_TRUE(r.answer.has_value()) << "request " << i;
            EXPECT_EQ(c.seen[i].first, (*r.answer)[3]) << "request " << i;
            EXPECT_EQ(c.seen[i].second, (*r.answer)[7]) << "request " << i;
        }
        EXPECT_EQ(static_cast<int>(i) == c.leavesAt, r.leave) << "request " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(FaultCase{"drop2", {.dropAnswers = 2}, {{-1, 0}, {-1, 0}, {3, 0}}, -1},
                      FaultCase{"echo1", {.wrongEcho = 1}, {{0x83, 0}, {3, 0}, {3, 0}}, -1},
                      FaultCase{"statusFF2", {.badStatus = 2}, {{3, 0xFF}, {3, 0xFF}, {3, 0}}, -1},
                      FaultCase{"statusFE1",
                                {.badStatus = 1, .statusValue = kStatusOutOfRange},
                                {{3, 0xFE}, {3, 0}},
                                -1},
                      FaultCase{"unplugAfter2", {.unplugAfter = 2}, {{3, 0}, {3, 0}, {3, 0}}, 1}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST(VirtualKeyboard, BootModeReport_noAnswerAndLeaves) {
    VirtualKeyboard keyboard;
    Report boot{};
    boot[0] = kReportId;
    boot[3] = cmd::kBootMode;
    boot[4] = cmd::kBootMode; // no checksum on this one
    const KeyboardReaction r = keyboard.HandleReport(SimInterface::kControl, boot);
    EXPECT_FALSE(r.answer.has_value());
    EXPECT_TRUE(r.leave);
}

TEST(VirtualKeyboard, LockStatusAndLog_recordWhatArrived) {
    VirtualKeyboard keyboard;
    const uint8_t bank[2] = {5, 3};
    keyboard.HandleReport(SimInterface::kLocks, bank);
    keyboard.HandleReport(SimInterface::kControl, MakeRequest(cmd::kBeginTransfer, 0, 0));
    EXPECT_EQ((std::vector<uint8_t>{5, 3}), keyboard.BankStatus());
    const std::vector<std::string> log = keyboard.Log();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("locks 05 03", log[0]);
    EXPECT_EQ(0u, log[1].rfind("control 04 01 00 01 00 00 00 00 00", 0));
    keyboard.ClearLog();
    EXPECT_TRUE(keyboard.Log().empty());
}

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kbdsim-state-XXXXXX";
        dir_ = mkdtemp(pattern);
        path_ = dir_ + "/state.bin";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
    std::string path_;
};

TEST_F(StateFileTest, SaveThenLoad_memorySurvivesRestart) {
    {
        VirtualKeyboard keyboard({.stateFile = path_});
        const std::vector<uint8_t> data(56, 0x5A);
        Ask(keyboard, MakeRequest(cmd::kWriteMacroArea, 56, 8136, data));
        Ask(keyboard, MakeRequest(cmd::kWriteKeyColours, 3, 1024, data));
        keyboard.SwitchProfile(2);
        const uint8_t bank[2] = {5, 3};
        keyboard.HandleReport(SimInterface::kLocks, bank);
        ASSERT_TRUE(keyboard.SaveIfChanged());
    }
    EXPECT_FALSE(std::filesystem::exists(path_ + ".tmp"));
    VirtualKeyboard again({.stateFile = path_});
    std::string problem;
    ASSERT_TRUE(again.Load(&problem)) << problem;
    EXPECT_EQ(2, again.Settings()[10]);
    EXPECT_EQ(0x5A, again.Macros()[8191]);
    EXPECT_EQ(0x5A, again.Colours()[1026]);
    EXPECT_EQ((std::vector<uint8_t>{5, 3}), again.BankStatus());
}

TEST_F(StateFileTest, CorruptOrMissingFile_freshMemory) {
    VirtualKeyboard missing({.stateFile = path_});
    EXPECT_TRUE(missing.Load());
    std::ofstream(path_) << "not a keyboard";
    VirtualKeyboard corrupt({.stateFile = path_});
    std::string problem;
    EXPECT_FALSE(corrupt.Load(&problem));
    EXPECT_NE(std::string::npos, problem.find("not a virtual keyboard state file"));
    EXPECT_EQ(0xAA, corrupt.Macros()[0]);
}

TEST_F(StateFileTest, FileFromLargerKeyboard_macroAreaKeepsOwnSize) {
    {
        VirtualKeyboard big({.capacityUnits = 4, .stateFile = path_});
        const std::vector<uint8_t> data(1, 0x42);
        Ask(big, MakeRequest(cmd::kWriteMacroArea, 1, 100, data));
        ASSERT_TRUE(big.Save());
    }
    VirtualKeyboard small({.capacityUnits = 1, .stateFile = path_});
    ASSERT_TRUE(small.Load());
    EXPECT_EQ(128u, small.Macros().size());
    EXPECT_EQ(0x42, small.Macros()[100]);
    EXPECT_EQ(1, small.Settings()[11]);
}

} // namespace
} // namespace brindle
