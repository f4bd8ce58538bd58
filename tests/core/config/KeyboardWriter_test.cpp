#include "core/config/KeyboardWriter.h"

#include <gtest/gtest.h>

#include "TestKeyboard.h"
#include "core/keys/KeyTables.h"
#include "core/keys/MacroBlock.h"

namespace brindle {
namespace {

using test::TestKeyboard;

MacroRecord Macro(std::u16string_view name, std::uint16_t id, std::size_t actions) {
    MacroRecord m{};
    SetMacroName(m, name);
    m.playCount = 1;
    m.id = id;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (std::size_t i = 0; i < actions; ++i)
        m.actions[i] = {20, 0x030, static_cast<std::uint16_t>(i % 2)};
    return m;
}

class KeyboardWriterTest : public ::testing::Test {
protected:
    ConfigContexts contexts;
    TestKeyboard keyboard;

    void SetUp() override {
        InstallDefaultImage(contexts.live);
        contexts.live.macros.push_back(Macro(u"first", 5, 4));
        contexts.live.macros.push_back(Macro(u"second macro", 2, 6));
        // A of profile 1 plays macro id 2 (position 1); Esc of profile 2 is disabled.
        KeyEntry& a = contexts.live.image->pages[1].entries[KeyCodeToIndex(0x01E)];
        a.type = kKeyPlayMacro;
        a.payload = 2;
        contexts.live.image->pages[2].entries[KeyCodeToIndex(0x001)].type = kKeyDisabled;
    }

    KeyboardWriteResult Write(bool all) {
        std::lock_guard<std::mutex> guard(contexts.live.lock);
        return SnapshotForWrite(contexts, keyboard, kBuiltInFactoryKeyTable, all);
    }
    MacroBlockSize Sizes() const { return MacroBlockSizes(contexts.live.macros); }
};

TEST_F(KeyboardWriterTest, AllProfiles_sendsMacroAreaThenTablesInOneTransfer) {
    const KeyboardWriteResult r = Write(true);
    EXPECT_EQ(r.result, 1);
    EXPECT_TRUE(r.messages.empty());
    const std::vector<std::string> expected = {
        "begin", "macros " + std::to_string(Sizes().withNames), "table 0", "table 1", "table 2",
        "end"};
    EXPECT_EQ(keyboard.calls, expected);
    EXPECT_EQ(keyboard.tables[0], kBuiltInFactoryKeyTable);
    EXPECT_EQ(keyboard.tables[1][19 * 3], 5); // A: play macro at position 1
    EXPECT_EQ(keyboard.tables[1][19 * 3 + 1], 1);
    EXPECT_EQ(keyboard.tables[1][19 * 3 + 2], 1);
    EXPECT_EQ(keyboard.tables[2][8 * 3], 0); // Esc disabled
    const std::vector<std::uint8_t> area(keyboard.macroArea.begin(),
                                         keyboard.macroArea.begin() +
                                             static_cast<long>(Sizes().withNames));
    EXPECT_EQ(area, EncodeMacroBlock(contexts.live.macros, true));
}

TEST_F(KeyboardWriterTest, ActiveProfileOnly_sendsThatTable) {
    keyboard.active = 2;
    EXPECT_EQ(Write(false).result, 1);
    const std::vector<std::string> expected = {
        "begin", "macros " + std::to_string(Sizes().withNames), "table 2", "end"};
    EXPECT_EQ(keyboard.calls, expected);
}

TEST_F(KeyboardWriterTest, UnknownActiveProfile_sendsNothingAndFails) {
    keyboard.active = -1;
    const KeyboardWriteResult r = Write(false);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(keyboard.calls.empty());
}

TEST_F(KeyboardWriterTest, NoRoomEvenWithoutNames_sendsNothingAndAsksForMacroOver) {
    keyboard.capacity = Sizes().withoutNames - 1;
    const KeyboardWriteResult r = Write(true);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(keyboard.calls.empty());
    EXPECT_EQ(r.messages, std::vector<std::u16string>{u"IDS_MACRO_OVER"});
}

TEST_F(KeyboardWriterTest, UnknownCapacity_refusesEveryWrite) {
    contexts.live.macros.clear(); // even an empty area has its 16-byte header
    keyboard.capacity = 0;
    EXPECT_EQ(Write(true).messages, std::vector<std::u16string>{u"IDS_MACRO_OVER"});
    EXPECT_TRUE(keyboard.calls.empty());
}

TEST_F(KeyboardWriterTest, OnlyNamesDoNotFit_sendsEverythingWithoutNamesAndWarns) {
    keyboard.capacity = Sizes().withoutNames; // exactly enough without names
    const KeyboardWriteResult r = Write(true);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.messages, std::vector<std::u16string>{u"EXTRA_PROFILE_SPACE_TIGHT"});
    EXPECT_EQ(keyboard.calls[1], "macros " + std::to_string(Sizes().withoutNames));
    EXPECT_EQ(keyboard.calls.size(), 6u);
    const std::vector<std::uint8_t> area(keyboard.macroArea.begin(),
                                         keyboard.macroArea.begin() +
                                             static_cast<long>(Sizes().withoutNames));
    EXPECT_EQ(area, EncodeMacroBlock(contexts.live.macros, false));
}

TEST_F(KeyboardWriterTest, FailedTableWrite_failsButClosesTheTransfer) {
    keyboard.failTableWrite = 0; // not the last table: still a failure
    const KeyboardWriteResult r = Write(true);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(keyboard.calls.back(), "end");
}

TEST_F(KeyboardWriterTest, Snapshot_copiesLiveIntoWorkingWithPoolOffsets) {
    KeyEntry& esc = contexts.live.image->pages[0].entries[KeyCodeToIndex(0x001)];
    esc.type = kKeyTextBlock;
    esc.payload = 999;
    contexts.live.texts.SetText(KeyStringTable::SlotOf(0, KeyCodeToIndex(0x001)), u"hello");
    EXPECT_EQ(Write(true).result, 1);
    EXPECT_EQ(esc.payload, 0u); // the only text sits at pool offset 0
    ASSERT_NE(contexts.working.image, nullptr);
    EXPECT_EQ(contexts.working.image->header.macroCount, 2);
    EXPECT_EQ(contexts.working.image->header.poolSize, 12u);
    EXPECT_EQ(contexts.working.macros.size(), 2u);
    EXPECT_EQ(contexts.working.TotalTextSize(), 12u);
}

TEST(KeyboardWriterMessages, CollectedKeys_areLookedUpAndShown) {
    struct Shown : UserMessages {
        std::vector<std::u16string> texts;
        void ShowInfo(const std::u16string& t) override { texts.push_back(t); }
        bool AskYesNo(const std::u16string&) override { return false; }
    } shown;
    ShowCollectedMessages(
        {u"IDS_MACRO_OVER"},
        [](std::u16string_view key) { return u"text of " + std::u16string(key); }, shown);
    EXPECT_EQ(shown.texts, std::vector<std::u16string>{u"text of IDS_MACRO_OVER"});
}

} // namespace
} // namespace brindle
