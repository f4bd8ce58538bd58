#include "core/keys/KeyTables.h"

#include <gtest/gtest.h>

#include <set>

namespace brindle {
namespace {

// Keystroke flags of a hook event: scan code in bits 16-23, extended (E0) flag in bit 24.
std::uint32_t Flags(std::uint32_t scan, bool extended = false) {
    return (scan << 16) | (extended ? 1u << 24 : 0u) | 1u;
}

TEST(KeyIndex, CodesAndIndexesConvertBothWays) {
    struct Case {
        KeyCode code;
        KeyIndex index;
    };
    const Case cases[] = {
        {0x000, 0x00}, {0x01E, 0x1E}, {0x07F, 0x7F}, {0x100, 0x80}, {0x145, 0xC5}, {0x17F, 0xFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeToIndex(c.code), c.index) << std::hex << c.code;
        EXPECT_EQ(KeyIndexToCode(c.index), c.code) << std::hex << c.code;
    }
    for (unsigned i = 0; i < 256; ++i)
        EXPECT_EQ(KeyCodeToIndex(KeyIndexToCode(static_cast<KeyIndex>(i))), i);
}

TEST(KeyInfoTable, GoldenRows) {
    struct Case {
        KeyCode code;
        std::uint8_t vk, alternateVk;
        KeyNumber number;
        HidUsage usage;
        std::u16string_view label, stringKey;
    };
    const Case cases[] = {
        {0x01E, 0x41, 0x41, 0x0000, {7, 0x04}, u"A", u"IDS_KEYBOARD_A"},
        {0x02B, 0xDC, 0xDC, 0x002D, {7, 0x31}, u"\\", u"IDS_KEYBOARD_AV"},
        {0x045, 0x13, 0x13, 0x0041, {7, 0x48}, u"Pause", u"IDS_KEYBOARD_PAUSE"},
        {0x047, 0x67, 0x24, 0x005B, {7, 0x5F}, u"Num 7", u"IDS_KEYBOARD_S_7"},
        {0x053, 0x6E, 0x2E, 0x005F, {7, 0x63}, u"Num .", u"IDS_KEYBOARD_S_DEL"},
        {0x054, 0x2C, 0x2C, 0x8015, {0, 0}, u"Sys Req", u"IDS_KEYBOARD_SYSREQ"},
        {0x064, 0x7C, 0x7C, 0x8030, {0, 0}, u"F13", u""},
        {0x070, 0xFF, 0xFF, 0x801B, {7, 0x88}, u"ROMA (133)", u"IDS_KEYBOARD_ROMA"},
        {0x110, 0xB1, 0xB1, 0x8024, {0x0C, 0x0B6}, u"Prev Track", u"IDS_KEYBOARD_PREV_TRACK"},
        {0x136, 0xA1, 0xA1, 0x0067, {7, 0xE5}, u"Right Shift", u"IDS_KEYBOARD_RSHIFT"},
        {0x145, 0x90, 0x90, 0x004F, {7, 0x53}, u"Num Lock", u"IDS_KEYBOARD_NUM"},
        {0x148, 0x26, 0x26, 0x0049, {7, 0x52}, u"\u2191", u"IDS_KEYBOARD_UP"},
        {0x15E, 0xFF, 0xFF, 0x8001, {1, 0x81}, u"Power", u"IDS_KEYBOARD_POWER"},
        {0x166, 0xAB, 0xAB, 0x802E, {0x0C, 0x22A}, u"WWW Favorite", u"IDS_KEYBOARD_W_FAVORITE"},
        {0x171, 0x01, 0x01, 0x8004, {7, 0xF1}, u"Left Button", u"IDS_KEYBOARD_MOU_LEFT"},
        {0x17C, 0x9D, 0x9D, 0x8012, {0x0C, 0}, u"Excel", u"IDS_KEYBOARD_FUNC_EXCEL"},
        {0x17E, 0x9F, 0x9F, 0x8014, {0, 0}, u"Calendar", u"IDS_KEYBOARD_FUNC_CALENDAR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        const KeyInfo* info = FindKeyInfo(c.code);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->virtualKey, c.vk);
        EXPECT_EQ(info->alternateVirtualKey, c.alternateVk);
        EXPECT_EQ(info->keyNumber, c.number);
        EXPECT_EQ(KeyCodeToNumber(c.code), c.number);
        EXPECT_EQ(KeyCodeToUsage(c.code), c.usage);
        EXPECT_TRUE(info->label == c.label);
        EXPECT_TRUE(info->stringKey == c.stringKey);
    }
}

TEST(KeyInfoTable, KeyNumbersCoverEveryListRowAndSpecialKey) {
    std::size_t keys = 0;
    for (const KeyInfo& info : kKeyInfoTable)
        keys += info.keyNumber != kNoKeyNumber;
    EXPECT_EQ(keys, 155u);
    // The key lists show numbers 0-105; each must lead to a key whose number it is.
    for (KeyNumber n = 0; n < kStandardKeyNumberCount; ++n)
        EXPECT_EQ(KeyCodeToNumber(KeyNumberToCode(n)), n) << n;
    for (KeyNumber n = 0x8001; n <= 0x8030; ++n)
        EXPECT_EQ(KeyCodeToNumber(KeyNumberToCode(n)), n) << std::hex << n;
    EXPECT_EQ(KeyNumberToCode(0x006A), kNoKey);
    EXPECT_EQ(KeyNumberToCode(kNoKeyNumber), kNoKey);
}

TEST(KeyInfoTable, CodesWithoutKeyHaveNoRecord) {
    // 0x0C8 shares index 0xC8 with the Up arrow (0x148) but is no key.
    for (KeyCode code : {0x000, 0x055, 0x07F, 0x080, 0x0C8, 0x0FF, 0x100, 0x180, 0x1C8, 0xFFFF}) {
        EXPECT_EQ(FindKeyInfo(code), nullptr) << std::hex << code;
        EXPECT_EQ(KeyCodeToNumber(code), kNoKeyNumber) << std::hex << code;
        EXPECT_EQ(KeyCodeToUsage(code), HidUsage{}) << std::hex << code;
    }
}

TEST(FirstMatch, DuplicatesResolveToTheLowerCode) {
    EXPECT_EQ(KeyNumberToCode(0x0067), 0x036); // Right Shift, never 0x136
    EXPECT_EQ(UsageToKeyCode(7, 0x48), 0x045); // Pause, never Break
    EXPECT_EQ(UsageToKeyCode(7, 0xE5), 0x036);
    // Zoom-, Zoom+, Word and Excel point at empty consumer positions: usage 0, found as Zoom-.
    for (KeyCode code : {0x174, 0x175, 0x17B, 0x17C})
        EXPECT_EQ(KeyCodeToUsage(code), (HidUsage{0x0C, 0})) << std::hex << code;
    EXPECT_EQ(UsageToKeyCode(0x0C, 0), 0x174);
}

TEST(UsageToKeyCode, ReducesEachPageToTheKeyTableByte) {
    struct Case {
        std::uint16_t page, usage;
        KeyCode expected;
    };
    const Case cases[] = {
        {7, 0x04, 0x01E},
        {7, 0xE7, 0x15C},
        {7, 0xF3, 0x173},
        {1, 0x81, 0x15E},
        {1, 0x83, 0x163},
        {1, 0x80, 0},
        {1, 0x84, 0},
        {0x0C, 0x0E9, 0x130},
        {0x0C, 0x22A, 0x166},
        {0x0C, 0x0B5, 0x119},
        {0x0C, 0x999, 0},
        {7, 0, 0},
        {0, 0, 0},
        {9, 0x04, 0},
        {0x0D, 0x81, 0},
        // Keyboard usages that share a byte with desktop or consumer usages, or do not fit in a
        // byte, have no key: they must not become Power, Zoom- or A.
        {7, 0x81, 0},
        {7, 0xD2, 0},
        {7, 0x104, 0},
        {7, 0xFF, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UsageToKeyCode(c.page, c.usage), c.expected)
            << std::hex << c.page << ":" << c.usage;
}

// The keys that come back as another key: the second Right Shift, Break (shares Pause's usage)
// and the three keys with consumer usage 0 after Zoom-.
const std::set<KeyCode> kAliasedKeys = {0x136, 0x146, 0x175, 0x17B, 0x17C};

TEST(UsageToKeyCode, EveryKeyWithAUsageRoundTripsExceptTheAliases) {
    for (unsigned i = 0; i < kKeyIndexCount; ++i) {
        const KeyCode code = KeyIndexToCode(static_cast<KeyIndex>(i));
        const HidUsage usage = KeyCodeToUsage(code);
        if (usage.page == 0)
            continue;
        const KeyCode back = UsageToKeyCode(usage);
        if (kAliasedKeys.count(code))
            EXPECT_NE(back, code) << std::hex << code;
        else
            EXPECT_EQ(back, code) << std::hex << code;
    }
}

TEST(Descriptor, GoldenBytes) {
    struct Case {
        KeyCode code;
        DeviceKeyDescriptor expected;
    };
    const Case cases[] = {
        {0x01E, {2, 2, 0x04}},
        {0x01D, {2, 1, 0x01}},
        {0x036, {2, 1, 0x20}},
        {0x136, {2, 2, 0xE5}}, // the alias is not in the modifier list: a plain usage
        {0x15C, {2, 1, 0x80}},
        {0x145, {2, 2, 0x53}},
        {0x171, {2, 2, 0xF1}},
        {0x130, {3, 0xE9, 0x00}},
        {0x132, {3, 0x23, 0x02}},
        {0x174, {3, 0x00, 0x00}},
        {0x15E, {4, 0x81, 0x00}},
        {0x163, {4, 0x83, 0x00}},
        {0x054, {0, 0, 0}}, // no usage: stored as disabled
        {0x064, {0, 0, 0}},
        {0x000, {0, 0, 0}},
        {0x0C8, {0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyCodeToDescriptor(c.code), c.expected) << std::hex << c.code;
}

TEST(Descriptor, EveryKeyWithAUsageRoundTripsExceptTheAliases) {
    std::size_t checked = 0;
    for (unsigned i = 0; i < kKeyIndexCount; ++i) {
        const KeyCode code = KeyIndexToCode(static_cast<KeyIndex>(i));
        if (KeyCodeToUsage(code).page == 0)
            continue;
        const KeyCode back = DescriptorToKeyCode(KeyCodeToDescriptor(code));
        ++checked;
        if (kAliasedKeys.count(code))
            EXPECT_NE(back, code) << std::hex << code;
        else
            EXPECT_EQ(back, code) << std::hex << code;
    }
    EXPECT_GT(checked, 130u);
}

TEST(Descriptor, DecodesEachKind) {
    struct Case {
        DeviceKeyDescriptor descriptor;
        KeyCode expected;
    };
    const Case cases[] = {
        {{2, 2, 0x04}, 0x01E},    {{2, 2, 0x48}, 0x045},    {{2, 1, 0x05}, 0x01D},
        {{2, 0, 0x40}, 0x138},    {{2, 1, 0x00}, 0},        {{3, 0xCD, 0x00}, 0x122},
        {{3, 0x27, 0x02}, 0x167}, {{3, 0x00, 0x00}, 0x174}, {{4, 0x82, 0x00}, 0x15F},
        {{4, 0x82, 0x01}, 0},     {{0, 0, 0}, 0},           {{5, 1, 3}, 0},
        {{5, 5, 2}, 0},           {{1, 2, 4}, 0},           {{0xFF, 2, 4}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescriptorToKeyCode(c.descriptor), c.expected)
            << int(c.descriptor.kind) << "," << int(c.descriptor.byte1) << ","
            << int(c.descriptor.byte2);
}

TEST(ModifierBits, LowestSetBitWinsAndEveryBitRoundTrips) {
    EXPECT_EQ(ModifierBitToKeyCode(0x00), kNoKey);
    EXPECT_EQ(ModifierBitToKeyCode(0x05), 0x01D);
    EXPECT_EQ(ModifierBitToKeyCode(0xF0), 0x11D);
    EXPECT_EQ(ModifierBitToKeyCode(0x80), 0x15C);
    for (unsigned bit = 0; bit < 8; ++bit) {
        const KeyCode code = ModifierBitToKeyCode(static_cast<std::uint8_t>(1u << bit));
        EXPECT_EQ(KeyCodeToModifierBit(code), 1u << bit);
        EXPECT_EQ(KeyCodeToUsage(code), (HidUsage{7, static_cast<std::uint16_t>(0xE0 + bit)}));
    }
    EXPECT_EQ(KeyCodeToModifierBit(0x136), 0); // the alias is not a modifier of its own
    EXPECT_EQ(KeyCodeToModifierBit(0x01E), 0);
}

TEST(HookEventToKeyCode, Cases) {
    struct Case {
        const char* what;
        std::uint32_t vk, flags;
        KeyCode expected;
    };
    const Case cases[] = {
        {"plain key", 0x41, Flags(0x1E), 0x01E},
        {"Right Shift under its own vk", 0xA1, Flags(0x36), 0x036},
        {"Right Shift under generic Shift", 0x10, Flags(0x36), 0x036},
        {"Right Shift under any vk", 0x41, Flags(0x36), 0x036},
        {"generic Shift, left", 0x10, Flags(0x2A), 0x02A},
        {"generic Ctrl, left", 0x11, Flags(0x1D), 0x01D},
        {"generic Ctrl, right", 0x11, Flags(0x1D, true), 0x11D},
        {"generic Alt, right", 0x12, Flags(0x38, true), 0x138},
        {"Enter", 0x0D, Flags(0x1C), 0x01C},
        {"Num Enter", 0x0D, Flags(0x1C, true), 0x11C},
        {"Num 7, Num Lock on", 0x67, Flags(0x47), 0x047},
        {"Num 7, Num Lock off", 0x24, Flags(0x47), 0x047},
        {"Home", 0x24, Flags(0x47, true), 0x147},
        {"Pause", 0x13, Flags(0x45), 0x045},
        {"Num Lock", 0x90, Flags(0x45, true), 0x145},
        {"remapped layout: Z on the Y key", 0x5A, Flags(0x15), 0x02C},
        {"no vk: the scan code", 0xFF, Flags(0x70), 0x070},
        {"no scan code: the vk", 0x41, 0, 0x01E},
        {"no scan code, extended only: the vk", 0x26, Flags(0x00, true), 0x148},
        {"unknown vk, unknown scan", 0x07, Flags(0x55), 0},
        {"vk beyond the table", 0x141, Flags(0x00), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HookEventToKeyCode(c.vk, c.flags), c.expected) << c.what;
}

TEST(VkTable, EveryEntryLeadsToAKeyOfThatVirtualKey) {
    std::size_t entries = 0;
    for (unsigned vk = 0; vk < 256; ++vk) {
        const KeyIndex index = kVkToKeyIndex[vk];
        if (index == 0)
            continue;
        ++entries;
        const KeyInfo& info = kKeyInfoTable[index];
        const bool generic = vk == 0x10 || vk == 0x11 || vk == 0x12; // Shift, Ctrl, Alt
        EXPECT_TRUE(generic || info.virtualKey == vk || info.alternateVirtualKey == vk)
            << std::hex << vk;
    }
    EXPECT_EQ(entries, 132u);
    EXPECT_EQ(KeyIndexToCode(kVkToKeyIndex[0x10]), 0x02A);
    EXPECT_EQ(KeyIndexToCode(kVkToKeyIndex[0xA1]), 0x036);
    EXPECT_EQ(KeyIndexToCode(kVkToKeyIndex[0x0D]), 0x01C); // Enter, not Num Enter
    EXPECT_EQ(KeyIndexToCode(kVkToKeyIndex[0x2C]), 0x137); // Print Screen, not Sys Req
    EXPECT_EQ(KeyIndexToCode(kVkToKeyIndex[0x24]), 0x147); // Home, not Num 7
}

TEST(KeyClasses, MediaAndReleaseOnlyKeys) {
    std::set<KeyCode> media(kMediaKeyCodes.begin(), kMediaKeyCodes.end());
    EXPECT_EQ(media.size(), kMediaKeyCount);
    for (std::size_t i = 0; i < kMediaKeyCount; ++i) {
        EXPECT_TRUE(IsMediaKey(kMediaKeyCodes[i]));
        // The usage a media key assignment sends is the key's own consumer usage.
        EXPECT_EQ(KeyCodeToUsage(kMediaKeyCodes[i]), (HidUsage{0x0C, kMediaUsages[i]})) << i;
    }
    for (KeyCode code : {0x000, 0x01E, 0x174, 0x15E})
        EXPECT_FALSE(IsMediaKey(code)) << std::hex << code;

    for (KeyCode code : {0x054, 0x071, 0x072, 0x137})
        EXPECT_TRUE(IsReleaseOnlyKey(code)) << std::hex << code;
    for (KeyCode code : {0x000, 0x070, 0x037, 0x154})
        EXPECT_FALSE(IsReleaseOnlyKey(code)) << std::hex << code;
}

TEST(KeyButtons, EveryButtonIsANamedKeyWithItsOwnControl) {
    std::set<std::uint16_t> ids;
    std::set<KeyCode> codes;
    for (const KeyButton& b : kKeyButtonCodes) {
        const KeyInfo* info = FindKeyInfo(b.code);
        ASSERT_NE(info, nullptr) << std::hex << b.code;
        EXPECT_FALSE(info->stringKey.empty()) << std::hex << b.code;
        EXPECT_LT(info->keyNumber, kStandardKeyNumberCount) << std::hex << b.code;
        ids.insert(b.controlId);
        codes.insert(b.code);
    }
    EXPECT_EQ(ids.size(), kKeyButtonCount);
    EXPECT_EQ(codes.size(), kKeyButtonCount);
    for (std::uint16_t id : kExtraKeyControlIds)
        EXPECT_EQ(ids.count(id), 0u) << id;
    EXPECT_EQ(kKeyButtonCodes[0].controlId, 1058);
    EXPECT_EQ(kKeyButtonCodes[0].code, 0x01E);
    EXPECT_EQ(kKeyButtonCodes[82].code, 0x036);
    EXPECT_EQ(kKeyButtonCodes[104].controlId, 1222);
    EXPECT_EQ(kKeyButtonCodes[104].code, 0x056);
}

} // namespace
} // namespace brindle
