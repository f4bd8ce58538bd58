#include "core/keys/MacroBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "core/keys/KeyTables.h"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr KeyCode kA = 0x01E;
constexpr KeyCode kShift = 0x02A;
constexpr KeyCode kVolumeUp = 0x130; // consumer usage 0x0E9
constexpr KeyCode kPower = 0x15E;    // generic desktop usage 0x81
constexpr KeyCode kB = 0x030;

MacroRecord Macro(std::u16string_view name, std::uint8_t playCount,
                  std::initializer_list<MacroAction> actions) {
    MacroRecord m{};
    SetMacroName(m, name);
    m.playCount = playCount;
    m.id = 1;
    for (const MacroAction& a : actions)
        m.actions[m.actionCount++] = a;
    return m;
}

MacroAction Press(KeyCode key, std::uint32_t delay) {
    return {delay, key, kActionPressed};
}
MacroAction Release(KeyCode key, std::uint32_t delay) {
    return {delay, key, kActionReleased};
}

// Two macros: "Ab" plays 3 times, A pressed for 40000 ms; "X" presses Shift, Volume Up and
// releases Power (a modifier, a consumer and a desktop key).
MacroList SmallList() {
    return {Macro(u"Ab", 3, {Press(kA, 40000), Release(kA, 0)}),
            Macro(u"X", 1, {Press(kShift, 15), Press(kVolumeUp, 25), Release(kPower, 0)})};
}

// SmallList() packed with names, written out from the layout.
const Bytes kSmallWithNames = {
    0xAA, 0x55, 0x36, 0x00, 0x02, 0x00, 0x01, 0x00, // magic, size 54, 2 macros, names
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, //
    0x14, 0x00, 0x24, 0x00,                         // entries at 20 and 36
    0x02, 0x00, 0x03, 0x02,                         // 2 actions, play 3, name length 2
    0xA0, 0xAF, 0x02, 0x04,                         // press, kind 2, 4000 units; usage 04
    0x00, 0x20, 0x02, 0x04,                         // release, kind 2, 0
    0x41, 0x00, 0x62, 0x00,                         // "Ab"
    0x03, 0x00, 0x01, 0x01,                         // 3 actions, play 1, name length 1
    0x01, 0xA0, 0x01, 0x02,                         // press, kind 2, 1 unit; modifier bit 02
    0x02, 0xB0, 0xE9, 0x00,                         // press, kind 3, 2 units; usage 00E9
    0x00, 0x40, 0x81, 0x00,                         // release, kind 4, 0; usage 0081
    0x58, 0x00,                                     // "X"
};

const Bytes kSmallWithoutNames = {
    0xAA, 0x55, 0x30, 0x00, 0x02, 0x00, 0x00, 0x00,                         // size 48, no names
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         //
    0x14, 0x00, 0x20, 0x00,                                                 // entries at 20 and 32
    0x02, 0x00, 0x03, 0x00, 0xA0, 0xAF, 0x02, 0x04, 0x00, 0x20, 0x02, 0x04, //
    0x03, 0x00, 0x01, 0x00, 0x01, 0xA0, 0x01, 0x02, 0x02, 0xB0, 0xE9, 0x00, 0x00, 0x40, 0x81, 0x00,
};

// Delays come back rounded down to the keyboard's 10 ms unit.
void ExpectSameMacro(const MacroRecord& got, const MacroRecord& want) {
    EXPECT_EQ(MacroName(got), MacroName(want));
    EXPECT_EQ(got.playCount, want.playCount);
    ASSERT_EQ(got.actionCount, want.actionCount);
    for (std::size_t i = 0; i < want.actionCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got.actions[i].keyCode, want.actions[i].keyCode);
        EXPECT_EQ(got.actions[i].released, want.actions[i].released);
        EXPECT_EQ(got.actions[i].delayMs, want.actions[i].delayMs / 10 * 10);
    }
}

TEST(MacroBlock, Encode_smallListWithAndWithoutNames_matchesLayoutBytes) {
    const MacroList list = SmallList();
    EXPECT_EQ(EncodeMacroBlock(list, true), kSmallWithNames);
    EXPECT_EQ(EncodeMacroBlock(list, false), kSmallWithoutNames);
    const MacroBlockSize sizes = MacroBlockSizes(list);
    EXPECT_EQ(sizes.withNames, kSmallWithNames.size());
    EXPECT_EQ(sizes.withoutNames, kSmallWithoutNames.size());
}

TEST(MacroBlock, Decode_layoutBytes_givesRecordsWithPositionIds) {
    const MacroList list = SmallList();
    const MacroList named = DecodeMacroBlock(kSmallWithNames, 4096, u"Macro");
    ASSERT_EQ(named.size(), 2u);
    ExpectSameMacro(named[0], list[0]);
    ExpectSameMacro(named[1], list[1]);
    EXPECT_EQ(named[0].id, 1);
    EXPECT_EQ(named[1].id, 2);

    const MacroList unnamed = DecodeMacroBlock(kSmallWithoutNames, 4096, u"Macro");
    ASSERT_EQ(unnamed.size(), 2u);
    EXPECT_EQ(MacroName(unnamed[0]), u"Macro1");
    EXPECT_EQ(MacroName(unnamed[1]), u"Macro2");
    EXPECT_EQ(unnamed[1].actions[1].keyCode, kVolumeUp);
}

TEST(MacroBlock, RoundTrip_keepsEverythingButDelayRemaindersIdsModesAndNewFlags) {
    MacroList list = SmallList();
    list.push_back(Macro(u"Empty", 255, {}));
    MacroRecord m = Macro(u"Rounded", 7, {Press(kB, 1239), Release(kB, 9), Press(kA, 10)});
    m.id = 42;
    m.repeatMode = kRepeatUntilKeyDown;
    m.newFlag = 1;
    list.push_back(m);

    const MacroList back = DecodeMacroBlock(EncodeMacroBlock(list, true), 4096, u"Macro");
    ASSERT_EQ(back.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSameMacro(back[i], list[i]);
        EXPECT_EQ(back[i].id, i + 1);
        EXPECT_EQ(back[i].repeatMode, 0);
        EXPECT_EQ(back[i].newFlag, 0);
    }
}

TEST(MacroBlock, Encode_recordedDelayBeyondField_sendsLongestInsteadOfWrapping) {
    // 50000 ms is 5000 units; kept to 12 bits it would wrap to 904 units (9040 ms).
    const MacroList list = {Macro(u"", 1, {Press(kA, 50000), Release(kA, 0)})};
    const MacroList back = DecodeMacroBlock(EncodeMacroBlock(list, false), 4096, u"M");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].actions[0].delayMs, kMaxPackedDelayMs);
}

TEST(MacroBlock, Sizes_emptyMacroTakesFourBytesPlusName) {
    const MacroList list = {Macro(u"Abc", 1, {})};
    const MacroBlockSize sizes = MacroBlockSizes(list);
    EXPECT_EQ(sizes.withoutNames, 16u + 2u + 4u);
    EXPECT_EQ(sizes.withNames, 16u + 2u + 4u + 6u);
}

TEST(MacroBlock, Sizes_unterminatedNameFromDamagedFile_countsAtMost249Units) {
    MacroRecord m = Macro(u"", 1, {});
    std::fill(std::begin(m.name), std::end(m.name), u'x');
    const MacroList list = {m};
    EXPECT_EQ(MacroBlockSizes(list).withNames, 16u + 2u + 4u + 2u * kMaxMacroNameLength);
    EXPECT_EQ(EncodeMacroBlock(list, true)[21], kMaxMacroNameLength);
}

TEST(MacroBlock, Encode_areaBeyondSixteenBitSize_refusedWhileSizesStayExact) {
    MacroRecord full = Macro(u"Full", 1, {});
    full.actionCount = kMaxMacroActions;
    const MacroList list(9, full);
    const std::size_t expected = 16 + 2 * 9 + 9 * (4 + 4 * kMaxMacroActions);
    EXPECT_EQ(MacroBlockSizes(list).withoutNames, expected);
    EXPECT_GT(expected, kMaxMacroBlockSize);
    EXPECT_TRUE(EncodeMacroBlock(list, false).empty());
}

// ---- Decoding damaged areas -------------------------------------------------------------------

struct DamageCase {
    const char* name;
    std::size_t readBytes; // bytes actually read from the keyboard
    std::size_t capacity;  // the keyboard's macro memory
    std::vector<std::pair<std::size_t, std::uint8_t>> patch; // bytes changed in the area
    std::size_t macros;                                      // macros that survive
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.name;
}

class MacroBlockDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(MacroBlockDamage, Decode_staysInsideTheAreaAndKeepsMacrosBeforeTheDamage) {
    const DamageCase& c = GetParam();
    Bytes area = kSmallWithNames;
    for (auto [at, value] : c.patch)
        area[at] = value;
    // An exact-size heap copy, so reading one byte too far is caught by the address sanitizer.
    std::vector<std::uint8_t> read(area.begin(), area.begin() + c.readBytes);
    const MacroList got = DecodeMacroBlock(read, c.capacity, u"Macro");
    ASSERT_EQ(got.size(), c.macros);
    const MacroList want = SmallList();
    for (std::size_t i = 0; i < got.size(); ++i)
        ExpectSameMacro(got[i], want[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MacroBlockDamage,
    testing::Values(DamageCase{"intact", 54, 4096, {}, 2}, //
                    DamageCase{"nothingRead", 0, 4096, {}, 0},
                    DamageCase{"headerCut", 15, 4096, {}, 0},
                    DamageCase{"wrongMagic", 54, 4096, {{0, 0xFF}, {1, 0xFF}}, 0},
                    DamageCase{"lastNameUnitCut", 53, 4096, {}, 1},
                    DamageCase{"headerSizeBeforeSecondEnd", 54, 4096, {{2, 40}}, 1},
                    DamageCase{"headerSizeHugeButCapacityFits", 54, 54, {{2, 0xFF}, {3, 0xFF}}, 2},
                    DamageCase{"headerSizeCutToCapacity", 54, 40, {{2, 0xFF}, {3, 0xFF}}, 1},
                    DamageCase{
                        "countAsksForMoreOffsetsThanRead", 54, 4096, {{4, 0xFF}, {5, 0xFF}}, 0},
                    DamageCase{"countOne", 54, 4096, {{4, 1}}, 1},
                    DamageCase{"firstOffsetIntoHeader", 54, 4096, {{16, 2}}, 0},
                    DamageCase{"firstOffsetPastEnd", 54, 4096, {{16, 0xF0}, {17, 0xFF}}, 0},
                    DamageCase{"secondOffsetPastEnd", 54, 4096, {{18, 0x36}}, 1},
                    DamageCase{"secondActionCountPastEnd", 54, 4096, {{36, 0xFF}, {37, 0xFF}}, 1},
                    DamageCase{"secondNameLengthPastEnd", 54, 4096, {{39, 0xFF}}, 1}),
    [](const testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(MacroBlock, Decode_moreThanTheListHolds_keepsTheFirstHundredAndTwoThousandActions) {
    const MacroList many(kMaxMacros + 1, Macro(u"", 1, {}));
    EXPECT_EQ(DecodeMacroBlock(EncodeMacroBlock(many, false), 4096, u"M").size(), kMaxMacros);

    // One entry of 2001 presses of A, no name.
    const std::size_t actions = kMaxMacroActions + 1;
    Bytes area(16 + 2 + 4 + 4 * actions, 0);
    const std::size_t size = area.size();
    area[0] = 0xAA;
    area[1] = 0x55;
    area[2] = static_cast<std::uint8_t>(size & 0xFF);
    area[3] = static_cast<std::uint8_t>(size >> 8);
    area[4] = 1;
    area[16] = 18;
    area[18] = static_cast<std::uint8_t>(actions & 0xFF);
    area[19] = static_cast<std::uint8_t>(actions >> 8);
    area[20] = 1;
    for (std::size_t i = 0; i < actions; ++i) {
        const std::uint8_t packed[4] = {0x00, 0xA0, 0x02, 0x04};
        std::memcpy(&area[22 + 4 * i], packed, 4);
    }
    const MacroList got = DecodeMacroBlock(area, size, u"M");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].actionCount, kMaxMacroActions);
    EXPECT_EQ(got[0].actions[kMaxMacroActions - 1].keyCode, kA);
}

TEST(MacroBlock, Decode_nameOfOnlyTerminators_getsTheDefaultName) {
    Bytes area = kSmallWithNames;
    area[32] = area[33] = area[34] = area[35] = 0; // "Ab" -> two NUL units
    const MacroList got = DecodeMacroBlock(area, 4096, u"Macro");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(MacroName(got[0]), u"Macro1");
}

} // namespace
} // namespace brindle
