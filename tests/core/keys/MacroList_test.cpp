#include "core/keys/MacroList.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace brindle {
namespace {

MacroRecord Named(std::u16string_view name, std::uint16_t id) {
    MacroRecord m{};
    SetMacroName(m, name);
    m.playCount = 1;
    m.id = id;
    return m;
}

TextLookup Texts() {
    return [](std::u16string_view key) -> std::u16string {
        if (key == u"IDS_MACRO_NEW_PREFIX")
            return u"Macro";
        if (key == u"IDS_MACRO_ERR_MAX")
            return u"At most %d macros.";
        if (key == u"IDS_MACRO_ACTION_ERR_DELAY_MAX")
            return u"A delay is at most %d ms.";
        return u"#Error";
    };
}

TEST(MacroList, NewMacroName_skipsNamesThatBeginWithTheCandidate) {
    struct Case {
        std::vector<std::u16string> names;
        int counterBefore;
        std::u16string expected;
        int counterAfter;
    };
    const Case cases[] = {
        {{}, 7, u"Macro1", 1},                         // an empty list restarts the counter
        {{u"macro1"}, 0, u"Macro2", 2},                // compared without regard to case
        {{u"Macro10", u"Macro2"}, 0, u"Macro3", 3},    // "Macro10" blocks "Macro1"
        {{u"Other"}, 5, u"Macro6", 6},                 // the dialog's counter goes on
        {{u"MACRO1 copy", u"Macro"}, 0, u"Macro2", 2}, // "Macro" begins no candidate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.expected.begin(), c.expected.end()));
        int counter = c.counterBefore;
        EXPECT_EQ(NewMacroName(c.names, u"Macro", counter), c.expected);
        EXPECT_EQ(counter, c.counterAfter);
    }
}

TEST(MacroList, NewMacroName_fromRecords_usesThePrefixText) {
    const MacroList list = {Named(u"Macro1", 1)};
    int counter = 0;
    EXPECT_EQ(NewMacroName(list, Texts(), counter), u"Macro2");
}

TEST(MacroList, NewMacroRecord_takesSmallestFreeIdAndNewMacroDefaults) {
    const MacroList list = {Named(u"a", 1), Named(u"b", 4), Named(u"c", 2)};
    const std::u16string longName(300, u'n');
    const auto record = NewMacroRecord(longName, list);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->id, 3);
    EXPECT_EQ(MacroName(*record), std::u16string(kMaxMacroNameLength, u'n'));
    EXPECT_EQ(record->name[kMaxMacroNameLength], u'\0');
    EXPECT_EQ(record->playCount, 1);
    EXPECT_EQ(record->newFlag, 1);
    EXPECT_EQ(record->repeatMode, kRepeatOnce);
    EXPECT_EQ(record->actionCount, 0);
}

TEST(MacroList, NewMacroRecord_fullList_refused) {
    MacroList list;
    for (std::uint16_t id = 1; id <= kMaxMacros; ++id)
        list.push_back(Named(u"m", id));
    EXPECT_FALSE(CanAddMacro(list));
    EXPECT_FALSE(NewMacroRecord(u"one more", list));
    list.pop_back();
    EXPECT_TRUE(CanAddMacro(list));
    EXPECT_EQ(NewMacroRecord(u"last", list)->id, kMaxMacros);
}

TEST(MacroList, MacroPositionOfId_missingIdGivesFirstPosition) {
    const MacroList list = {Named(u"a", 5), Named(u"b", 2), Named(u"c", 9)};
    EXPECT_EQ(MacroPositionOfId(list, 2), 1u);
    EXPECT_EQ(MacroPositionOfId(list, 9), 2u);
    EXPECT_EQ(MacroPositionOfId(list, 3), 0u);
    EXPECT_EQ(MacroPositionOfId({}, 1), 0u);
}

KeyEntry PlaysMacro(std::uint32_t payload) {
    return KeyEntry{kKeyPlayMacro, 0, payload, 0, 0};
}

TEST(MacroList, Commit_deletedThenReplacedId_resetsKeysOfTheDeletedMacro) {
    // Live list: A (id 1), B (id 2). The dialog deletes B and adds C, which takes the freed id 2.
    MacroList live = {Named(u"A", 1), Named(u"B", 2)};
    MacroList edited = {live[0]};
    auto c = NewMacroRecord(u"C", edited);
    ASSERT_TRUE(c);
    ASSERT_EQ(c->id, 2);
    edited.push_back(*c);

    std::array<KeyEntry, 2048> entries{};
    entries[10] = PlaysMacro(2);           // played B
    entries[600] = PlaysMacro(1);          // plays A on another page: kept
    entries[700] = PlaysMacro(0x00050000); // id 0, play count 5 above it: gets A
    entries[800] = PlaysMacro(7);          // id nobody has
    entries[900] = KeyEntry{kKeySingleKey, 0, 2, 0, 0};

    const MacroCommitResult result = CommitMacroList(edited, entries, live);
    EXPECT_EQ(result.resetEntries, (std::vector<std::size_t>{10, 800}));
    EXPECT_TRUE(result.keysChanged);
    EXPECT_EQ(entries[10].type, kKeyDefault);
    EXPECT_EQ(entries[800].type, kKeyDefault);
    EXPECT_EQ(entries[600].type, kKeyPlayMacro);
    EXPECT_EQ(entries[600].payload, 1u);
    EXPECT_EQ(entries[700].payload, 0x00050001u);
    EXPECT_EQ(entries[900].type, kKeySingleKey);
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(MacroName(live[1]), u"C");
    EXPECT_EQ(live[1].newFlag, 0);

    // Committed, C is no longer new: a key pointing at it now stays.
    entries[10] = PlaysMacro(2);
    const MacroCommitResult again = CommitMacroList(live, entries, live);
    EXPECT_TRUE(again.resetEntries.empty());
    EXPECT_FALSE(again.keysChanged);
    EXPECT_EQ(entries[10].type, kKeyPlayMacro);
}

TEST(MacroList, Commit_emptyList_leavesIdZeroEntriesAlone) {
    MacroList live = {Named(u"A", 1)};
    std::array<KeyEntry, 4> entries{};
    entries[1] = PlaysMacro(0);
    entries[2] = PlaysMacro(1);
    const MacroCommitResult result = CommitMacroList({}, entries, live);
    EXPECT_EQ(result.resetEntries, (std::vector<std::size_t>{2}));
    EXPECT_EQ(entries[1].type, kKeyPlayMacro);
    EXPECT_EQ(entries[1].payload, 0u);
    EXPECT_TRUE(live.empty());
}

TEST(MacroList, TypedValues_cutIntoTheirLimits) {
    struct DelayCase {
        long long typed;
        std::uint32_t delay;
        bool over;
    };
    for (const DelayCase& c : {DelayCase{40000, 40000, false}, DelayCase{40001, 40000, true},
                               DelayCase{99999999999, 40000, true}, DelayCase{1239, 1230, false},
                               DelayCase{9, 0, false}, DelayCase{-5, 0, false}}) {
        SCOPED_TRACE(c.typed);
        const TypedDelay d = NormalizeTypedDelay(c.typed);
        EXPECT_EQ(d.delayMs, c.delay);
        EXPECT_EQ(d.overLimit, c.over);
    }
    EXPECT_EQ(ClampPlayCount(300), 255);
    EXPECT_EQ(ClampPlayCount(0), 1);
    EXPECT_EQ(ClampPlayCount(-3), 1);
    EXPECT_EQ(ClampPlayCount(7), 7);
}

TEST(MacroList, LimitTexts_carryTheLimits) {
    EXPECT_EQ(MacroLimitText(Texts()), u"At most 100 macros.");
    EXPECT_EQ(DelayLimitText(Texts()), u"A delay is at most 40000 ms.");
}

} // namespace
} // namespace brindle
