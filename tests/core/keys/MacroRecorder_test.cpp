#include "core/keys/MacroRecorder.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/keys/MacroRecordDelay.h"

namespace brindle {
namespace {

constexpr KeyCode kA = 0x01E;
constexpr KeyCode kB = 0x030;
constexpr KeyCode kPrintScreen = 0x137;
constexpr KeyCode kMute = 0x120;
constexpr KeyCode kWin = 0x15B;
constexpr KeyCode kRightWin = 0x15C;

// One event as a hook sees it.
struct Event {
    enum Source { Key, Repeat, WindowsHook } source;
    std::uint32_t key; // key code, or the virtual key for WindowsHook
    bool released;
    std::uint64_t t;
    HookVerdict verdict = HookVerdict::Swallow;
};

Event Down(KeyCode k, std::uint64_t t) {
    return {Event::Key, k, false, t};
}
Event Up(KeyCode k, std::uint64_t t) {
    return {Event::Key, k, true, t};
}
Event Again(KeyCode k, std::uint64_t t) {
    return {Event::Repeat, k, false, t};
}
Event WinHook(std::uint32_t vk, bool released, std::uint64_t t,
              HookVerdict v = HookVerdict::Swallow) {
    return {Event::WindowsHook, vk, released, t, v};
}
Event PassedOn(Event e) {
    e.verdict = HookVerdict::PassOn;
    return e;
}

struct Row {
    KeyCode key;
    bool released;
    std::uint32_t delay;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << std::hex << r.key << (r.released ? " up " : " down ") << std::dec << r.delay;
}

struct RecordCase {
    const char* name;
    bool recordDelay;
    std::vector<Row> before; // rows already in the list
    std::optional<std::size_t> selected;
    std::vector<Event> events;
    std::vector<Row> after;
};

std::vector<Row> Rows(const MacroActionRows& rows) {
    std::vector<Row> out;
    for (const MacroAction& a : rows.actions)
        out.push_back({a.keyCode, a.released == kActionReleased, a.delayMs});
    return out;
}

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class MacroRecording : public testing::TestWithParam<RecordCase> {};

TEST_P(MacroRecording, Events_giveTheseRows) {
    const RecordCase& c = GetParam();
    MacroActionRows rows;
    for (const Row& r : c.before)
        rows.actions.push_back({r.delay, r.key, r.released ? kActionReleased : kActionPressed});
    rows.selected = c.selected;

    MacroRecorder recorder;
    recorder.SetRecordDelay(c.recordDelay);
    recorder.StartRecording(rows, 1000);
    for (const Event& e : c.events) {
        HookVerdict v{};
        if (e.source == Event::WindowsHook)
            v = recorder.OnLowLevelHook(e.key, !e.released, e.t);
        else
            v = recorder.OnKeyEvent(static_cast<KeyCode>(e.key), e.released,
                                    e.source == Event::Repeat, e.t);
        EXPECT_EQ(v, e.verdict) << "event at " << e.t;
    }
    recorder.StopRecording();
    EXPECT_EQ(Rows(rows), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MacroRecording,
    testing::Values(
        RecordCase{"pressAndReleaseWithDelays",
                   true,
                   {},
                   {},
                   {Down(kA, 1300), Up(kA, 1430)},
                   {{kA, false, 130}, {kA, true, 0}}},
        RecordCase{"withoutDelaysEveryRowButTheLastWaits50",
                   false,
                   {},
                   {},
                   {Down(kA, 1001), Down(kB, 1500), Up(kB, 9000), Up(kA, 9001)},
                   {{kA, false, 50}, {kB, false, 50}, {kB, true, 50}, {kA, true, 0}}},
        RecordCase{"heldKeyRecordsOnePressAndOneRelease",
                   true,
                   {},
                   {},
                   {Down(kA, 1100), Again(kA, 1600), Again(kA, 1630), Up(kA, 1700)},
                   {{kA, false, 600}, {kA, true, 0}}},
        RecordCase{
            "releaseOnlyKeyBecomesPressTwoMsAfterThePreviousRow",
            true,
            {},
            {},
            {Down(kA, 1100), Up(kA, 1200), Down(kPrintScreen, 1400), Up(kPrintScreen, 1450)},
            {{kA, false, 100}, {kA, true, 2}, {kPrintScreen, false, 250}, {kPrintScreen, true, 0}}},
        RecordCase{
            "mediaKeysAndNoKeyPassOn",
            true,
            {},
            {},
            {PassedOn(Down(kMute, 1100)), PassedOn(Up(kMute, 1200)), PassedOn(Down(0, 1300))},
            {}},
        RecordCase{
            "windowsKeysThroughTheGlobalHook",
            true,
            {},
            {},
            {WinHook(0x5B, false, 1010), WinHook(0x5B, false, 1040), WinHook(0x5B, true, 1090),
             WinHook(0x5C, false, 1100), WinHook(0x5C, true, 1120),
             WinHook(0x41, false, 1130, HookVerdict::PassOn)},
            {{kWin, false, 80}, {kWin, true, 10}, {kRightWin, false, 20}, {kRightWin, true, 0}}},
        RecordCase{"insertedAfterTheSelectedRowInOrder",
                   true,
                   {{kB, false, 100}, {kB, true, 200}, {kMute, false, 0}},
                   0,
                   {Down(kA, 1030), Up(kA, 1060)},
                   {{kB, false, 30},
                    {kA, false, 30},
                    {kA, true, 100},
                    {kB, true, 200},
                    {kMute, false, 0}}},
        RecordCase{"noSelectionAppendsAtTheEnd",
                   true,
                   {{kB, false, 100}, {kB, true, 0}},
                   {},
                   {Down(kA, 1040)},
                   {{kB, false, 100}, {kB, true, 40}, {kA, false, 0}}}),
    [](const testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(MacroRecorder, FullList_addsNothingAndReleaseOnlyKeyNeedsTwoRows) {
    MacroActionRows rows;
    rows.actions.assign(kMaxMacroActions - 1, MacroAction{10, kB, kActionPressed});
    MacroRecorder recorder;
    recorder.StartRecording(rows, 0);
    recorder.OnKeyEvent(kPrintScreen, true, false, 5); // needs a press and a release: no room
    EXPECT_EQ(rows.actions.size(), kMaxMacroActions - 1);
    EXPECT_EQ(recorder.OnKeyEvent(kA, false, false, 10), HookVerdict::Swallow);
    EXPECT_EQ(rows.actions.size(), kMaxMacroActions);
    EXPECT_EQ(recorder.OnKeyEvent(kA, true, false, 20), HookVerdict::Swallow);
    EXPECT_FALSE(recorder.AddRecordedAction(0, kA, true));
    EXPECT_EQ(rows.actions.size(), kMaxMacroActions);
    EXPECT_EQ(rows.actions.back().keyCode, kA);
}

TEST(MacroRecorder, ThreadHook_flagsGiveKeyDirectionAndRepeat) {
    MacroActionRows rows;
    MacroRecorder recorder;
    recorder.SetRecordDelay(true);
    EXPECT_EQ(recorder.OnThreadHook(0x41, 0x001E0001, 0), HookVerdict::PassOn); // idle
    recorder.StartRecording(rows, 0);
    EXPECT_EQ(recorder.OnThreadHook(0x41, 0x001E0001, 100), HookVerdict::Swallow);
    EXPECT_EQ(recorder.OnThreadHook(0x41, 0x401E0001, 130), HookVerdict::Swallow); // repeat
    EXPECT_EQ(recorder.OnThreadHook(0x41, 0xC01E0001, 160), HookVerdict::Swallow); // release
    recorder.StopRecording();
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_EQ(Rows(rows), (std::vector<Row>{{kA, false, 60}, {kA, true, 0}}));
    EXPECT_EQ(recorder.OnThreadHook(0x41, 0x001E0001, 200), HookVerdict::PassOn);
}

class MemoryStore : public MacroSettingStore {
public:
    std::u16string ReadString(std::u16string_view section, std::u16string_view name,
                              std::u16string_view defaultValue) override {
        const auto it = values.find(Key(section, name));
        return it == values.end() ? std::u16string(defaultValue) : it->second;
    }
    bool WriteString(std::u16string_view section, std::u16string_view name,
                     std::u16string_view value) override {
        values[Key(section, name)] = value;
        return true;
    }
    static std::u16string Key(std::u16string_view section, std::u16string_view name) {
        return std::u16string(section) + u"/" + std::u16string(name);
    }
    std::map<std::u16string, std::u16string> values;
};

TEST(MacroRecordDelay, ReadAndWrite_decimalFlagUnderTheLookedUpName) {
    MemoryStore store;
    const TextLookup texts = [](std::u16string_view) { return std::u16string(u"Record delay"); };
    EXPECT_EQ(ReadRecordDelay(store, texts), 0); // missing means 0
    struct Case {
        std::u16string stored;
        int read;
    };
    for (const Case& c : {Case{u"1", 1}, Case{u" 1x", 1}, Case{u"abc", 0}, Case{u"7", 7}}) {
        store.values[u"PROFILES/Record delay"] = c.stored;
        EXPECT_EQ(ReadRecordDelay(store, texts), c.read);
    }
    for (int value : {1, 0, 7, -1}) {
        ASSERT_TRUE(WriteRecordDelay(store, texts, value));
        EXPECT_EQ(store.values[u"PROFILES/Record delay"], value == 1 ? u"1" : u"0");
    }
    // Without a text the entry is named by its string key rather than by nothing.
    const TextLookup none = [](std::u16string_view) { return std::u16string(); };
    WriteRecordDelay(store, none, 1);
    EXPECT_EQ(store.values[u"PROFILES/IDS_MACRO_ACTION_RECORD_DELAY"], u"1");
}

} // namespace
} // namespace brindle
