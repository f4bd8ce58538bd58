#include "core/device/ApplyPath.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestKeyboard.h"
#include "core/config/ProfileFile.h"
#include "core/keys/KeyTables.h"

namespace brindle {
namespace {

using test::TempFolder;
using test::TestKeyboard;
using test::WriteBytes;

class RecordingWindow : public MainWindowPort {
public:
    bool pending = true;
    int disabled = 0;
    intptr_t SendMessage(uint32_t, uintptr_t, intptr_t) override { return 0; }
    void PostMessage(uint32_t, uintptr_t, intptr_t) override {}
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void Hide() override {}
    void SetTrayIcon(int) override {}
    bool InitialisationFinished() override { return true; }
    bool ChangesPending() override { return pending; }
    void DisableApply() override { ++disabled; }
    void ShowBusyIndicator() override {}
    void HideBusyIndicator() override {}
};

// Records each message with whether the live lock was free when it was shown.
class LockCheckingMessages : public UserMessages {
public:
    explicit LockCheckingMessages(ConfigContext& live) : live_(live) {}
    std::vector<std::u16string> shown;
    bool shownUnderLock = false;
    void ShowInfo(const std::u16string& text) override {
        if (live_.lock.try_lock())
            live_.lock.unlock();
        else
            shownUnderLock = true;
        shown.push_back(text);
    }
    bool AskYesNo(const std::u16string&) override { return false; }

private:
    ConfigContext& live_;
};

class ApplyPathTest : public ::testing::Test {
protected:
    TempFolder dir;
    ProfileStore store{dir.Path()};
    ConfigContexts contexts;
    TestKeyboard keyboard;
    RecordingWindow window;
    LockCheckingMessages messages{contexts.live};
    std::vector<int> busy;
    ApplyPath apply{contexts,
                    keyboard,
                    store,
                    window,
                    [this](int m) { busy.push_back(m); },
                    [](std::u16string_view key) { return std::u16string(key); },
                    &messages,
                    [] { return kBuiltInFactoryKeyTable; },
                    std::chrono::milliseconds(0)};

    void SetUp() override {
        InstallDefaultImage(contexts.live);
        keyboard.active = 2;
        contexts.live.image->pages[2].entries[KeyCodeToIndex(0x01E)].type = kKeyDisabled;
        WriteBytes(store.SnapshotPath(2), {0}); // the keyboard was read once
    }
};

TEST_F(ApplyPathTest, PendingChanges_saveSnapshotWriteActiveProfileAndDisableApply) {
    const ApplyResult r = RunApply(apply);
    EXPECT_TRUE(r.applied);
    EXPECT_EQ(window.disabled, 1);
    EXPECT_EQ(busy, (std::vector<int>{1025, 1026}));
    EXPECT_EQ(ValidateProfileFile(store.SnapshotPath(2)), 1);
    const std::vector<std::string> calls = {"begin", "macros 16", "table 2", "end"};
    EXPECT_EQ(keyboard.calls, calls);
    EXPECT_EQ(keyboard.tables[2][19 * 3], 0); // A disabled
}

TEST_F(ApplyPathTest, NothingPending_onlyShowsAndHidesTheIndicator) {
    window.pending = false;
    EXPECT_FALSE(RunApply(apply).ran);
    EXPECT_TRUE(keyboard.calls.empty());
    EXPECT_EQ(busy, (std::vector<int>{1025, 1026}));
}

TEST_F(ApplyPathTest, EitherStepFailing_leavesApplyEnabled) {
    std::filesystem::remove(store.SnapshotPath(2)); // never read: no snapshot to save
    ApplyResult r = RunApply(apply);
    EXPECT_EQ(r.snapshotSaved, 0);
    EXPECT_EQ(r.keyboardWrite, 1); // the keyboard is still written
    EXPECT_FALSE(r.applied);

    WriteBytes(store.SnapshotPath(2), {0});
    keyboard.failTableWrite = 2;
    r = RunApply(apply);
    EXPECT_EQ(r.snapshotSaved, 1);
    EXPECT_EQ(r.keyboardWrite, 0);
    EXPECT_EQ(window.disabled, 0);
    EXPECT_EQ(busy.back(), 1026);
}

TEST_F(ApplyPathTest, MacroOver_isShownAfterTheLiveLockIsReleased) {
    keyboard.capacity = 8;
    const ApplyResult r = RunApply(apply);
    EXPECT_EQ(r.keyboardWrite, 0);
    EXPECT_EQ(messages.shown, std::vector<std::u16string>{u"IDS_MACRO_OVER"});
    EXPECT_FALSE(messages.shownUnderLock);
    EXPECT_EQ(window.disabled, 0);
}

TEST_F(ApplyPathTest, Reload_replacesLiveFromTheKeyboardAndDisablesApplyUnlessKept) {
    keyboard.tables[2][19 * 3] = 0; // A disabled on the keyboard
    contexts.live.image->pages[2].entries[KeyCodeToIndex(0x01E)].type = kKeySingleKey;
    bool redrawn = false;
    EXPECT_EQ(ReloadIntoLive(apply, true, [&] { redrawn = true; }), 1);
    EXPECT_TRUE(redrawn);
    EXPECT_EQ(window.disabled, 0);
    EXPECT_EQ(contexts.live.image->pages[2].entries[KeyCodeToIndex(0x01E)].type, kKeyDisabled);
    keyboard.failReads = true;
    EXPECT_EQ(ReloadIntoLive(apply, false), 0);
    EXPECT_EQ(window.disabled, 1);
    EXPECT_EQ(contexts.live.image->pages[2].entries[KeyCodeToIndex(0x01E)].type, kKeyDefault);
}

} // namespace
} // namespace brindle
