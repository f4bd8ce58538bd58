#include "core/config/KeyTableConversion.h"

#include <gtest/gtest.h>

#include "core/config/FactoryKeyTable.h"
#include "core/keys/KeyTables.h"

namespace brindle {
namespace {

const DeviceKeyTable& Factory() {
    return kBuiltInFactoryKeyTable;
}

// Positions in the built-in factory table.
constexpr std::size_t kPosEsc = 8;         // 02 02 29
constexpr std::size_t kPosLeftCtrl = 13;   // 02 01 01
constexpr std::size_t kPosA = 19;          // 02 02 04
constexpr std::size_t kPosPrevTrack = 112; // 03 B6 00

void Set(DeviceKeyTable& t, std::size_t pos, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    t[pos * 3] = a;
    t[pos * 3 + 1] = b;
    t[pos * 3 + 2] = c;
}

DeviceKeyDescriptor At(const DeviceKeyTable& t, std::size_t pos) {
    return {t[pos * 3], t[pos * 3 + 1], t[pos * 3 + 2]};
}

TEST(KeyTableConversion, FactoryTable_givesDefaultPageWithExtraKeyIds) {
    KeyPage page;
    DeviceTableToPage(page, Factory(), Factory());
    for (std::size_t i = 0; i < kKeyPageEntries; ++i) {
        EXPECT_EQ(page.entries[i].type, kKeyDefault) << i;
        EXPECT_EQ(page.entries[i].payload, 0u) << i;
    }
    EXPECT_EQ(page.entries[256].extraKeyId, 0x0301);
    EXPECT_EQ(page.entries[273].extraKeyId, 0x1309);
    EXPECT_EQ(page.entries[274].extraKeyId, 0);
}

TEST(KeyTableConversion, DefaultPage_givesFactoryTableByteForByte) {
    KeyPage page;
    ClearKeyPage(page, true);
    DeviceKeyTable table{};
    PageToDeviceTable(page, table, Factory(), {});
    EXPECT_EQ(table, Factory());
}

TEST(KeyTableConversion, KeyboardDescriptors_becomeEntriesOfTheFactoryKey) {
    struct Case {
        DeviceKeyDescriptor d;
        std::uint16_t type;
        std::uint32_t payload;
    };
    const Case cases[] = {
        {{5, 1, 0}, kKeyPlayMacro, 1}, // macro ids are positions plus one
        {{5, 1, 9}, kKeyPlayMacro, 10},       {{5, 2, 0}, kKeyStopMacro, 0},
        {{5, 5, 7}, kKeyFunction, 7},         {{5, 9, 9}, kKeyDisabled, 0},
        {{3, 0xCD, 0x00}, kKeyMediaKey, 1},   // Play/Pause
        {{3, 0x8A, 0x01}, kKeyMediaKey, 17},  // Mail
        {{3, 0x34, 0x12}, kKeyDisabled, 0},   // not one of the media usages
        {{2, 2, 0x05}, kKeySingleKey, 0x030}, // B
        {{2, 2, 0x00}, kKeyDisabled, 0},      // a usage without a key
        {{2, 1, 0x20}, kKeySingleKey, 0x036}, // Right Shift
        {{0, 0, 0}, kKeyDisabled, 0},         {{4, 0x81, 0}, kKeyDisabled, 0},
    };
    for (const Case& c : cases) {
        DeviceKeyTable table = Factory();
        Set(table, kPosA, c.d.kind, c.d.byte1, c.d.byte2);
        KeyPage page;
        DeviceTableToPage(page, table, Factory());
        const KeyEntry& e = page.entries[KeyCodeToIndex(0x01E)];
        EXPECT_EQ(e.type, c.type) << int(c.d.kind) << " " << int(c.d.byte1) << " "
                                  << int(c.d.byte2);
        EXPECT_EQ(e.payload, c.payload) << int(c.d.kind) << " " << int(c.d.byte1);
        for (std::size_t i = 0; i < kKeyPageEntries; ++i) {
            if (i != KeyCodeToIndex(0x01E)) {
                ASSERT_EQ(page.entries[i].type, kKeyDefault) << i;
            }
        }
    }
}

TEST(KeyTableConversion, EntryTypes_giveTheirDescriptors) {
    MacroList macros(3);
    macros[0].id = 4;
    macros[1].id = 2;
    macros[2].id = 9;
    struct Case {
        std::uint16_t type;
        std::uint32_t payload;
        DeviceKeyDescriptor expected;
    };
    const Case cases[] = {
        {kKeyDefault, 0, {2, 2, 0x29}},       {kKeyDisabled, 0, {0, 0, 0}},
        {kKeySingleKey, 0x030, {2, 2, 0x05}}, // B
        {kKeySingleKey, 0x15C, {2, 1, 0x80}}, // Right Win
        {kKeySingleKey, 0x038, {2, 1, 0x04}}, // Alt
        {kKeySingleKey, 0x120, {2, 2, 0x00}}, // Mute: not a keyboard usage
        {kKeyLaunchProgram, 0, {2, 2, 0x29}}, // keeps the default function
        {kKeyPlayMacro, 9, {5, 1, 2}},        // id 9 is at position 2
        {kKeyPlayMacro, 0x10002, {5, 1, 1}},  // only the low half is the id
        {kKeyPlayMacro, 50, {5, 1, 0}},       // unknown id plays the first macro
        {kKeyStopMacro, 0, {5, 2, 0}},        {kKeyTextBlock, 0, {0, 0, 0}},
        {kKeyMediaKey, 7, {3, 0xE2, 0x00}}, // Mute
        {kKeyMediaKey, 8, {3, 0x23, 0x02}}, // WWW Home
        {kKeyMediaKey, 18, {0, 0, 0}},      // past the list
        {kKeyFunction, 0x1203, {5, 5, 0x03}},
    };
    for (const Case& c : cases) {
        KeyPage page;
        ClearKeyPage(page, true);
        page.entries[KeyCodeToIndex(0x001)].type = c.type; // Esc
        page.entries[KeyCodeToIndex(0x001)].payload = c.payload;
        DeviceKeyTable table{};
        PageToDeviceTable(page, table, Factory(), macros);
        EXPECT_EQ(At(table, kPosEsc), c.expected) << "type " << c.type << " payload " << c.payload;
        DeviceKeyTable rest = table;
        Set(rest, kPosEsc, 2, 2, 0x29);
        EXPECT_EQ(rest, Factory()) << "type " << c.type;
    }
}

TEST(KeyTableConversion, RoundTrip_keepsEveryAssignmentTheKeyboardCanHold) {
    DeviceKeyTable table = Factory();
    Set(table, kPosEsc, 0, 0, 0);
    Set(table, kPosLeftCtrl, 2, 2, 0x04);
    Set(table, kPosA, 5, 1, 1);
    Set(table, kPosPrevTrack, 3, 0xE9, 0x00);
    KeyPage page;
    DeviceTableToPage(page, table, Factory());
    MacroList macros(2);
    macros[0].id = 1;
    macros[1].id = 2;
    DeviceKeyTable back{};
    PageToDeviceTable(page, back, Factory(), macros);
    EXPECT_EQ(back, table);
}

} // namespace
} // namespace brindle
