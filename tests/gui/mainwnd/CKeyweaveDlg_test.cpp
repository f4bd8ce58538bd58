// The main window against a virtual keyboard that is attached from the start. One window for the
// whole program: the device service library and its callback are process-wide.
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "WindowFixture.h"
#include "core/app/InstanceMutex.h"
#include "core/config/ConfigImage.h"
#include "core/device/Report.h"
#include "gui/mainwnd/CAboutDlg.h"
#include "gui/mainwnd/CKeyweaveDlg.h"
#include "gui/mainwnd/CTrayIcon.h"
#include "gui/mainwnd/KeyboardView.h"
#include "gui/skin/CPngButton.h"

using namespace brindle;
using namespace brindle::testing;

class CKeyweaveDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    std::unique_ptr<KeyboardProcess> keyboard_;
    std::unique_ptr<WindowParts> parts_;
    ScriptedMessages messages_;
    MainShared shared_;
    std::unique_ptr<CKeyweaveDlg> window_;
    int shows_ = 0;
    int showsBeforeAttach_ = 0;
    int exitCode_ = -1;

    int KeyId(size_t position) const { return KeyViewButton(position).controlId; }
    uint32_t LightFlag(size_t entry) {
        ConfigContext& live = window_->Contexts().live;
        std::lock_guard<std::mutex> guard(live.lock);
        return live.image->pages[window_->ActivePage()].entries[entry].lightFlag;
    }
    bool WaitForApply() {
        if (!window_->Applying())
            return true;
        QSignalSpy finished(window_.get(), &CKeyweaveDlg::applyFinished);
        return finished.wait(10000);
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == window_.get() && event->type() == QEvent::Show) {
            ++shows_;
            if (!window_->Connection() || window_->Connection()->LastKnownCount() <= 0)
                ++showsBeforeAttach_;
        }
        return false;
    }

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        UsePrivateFolders(root_.path());
        const QString program = root_.path() + "/program";
        MakeProgramFolder(program);
        keyboard_ = std::make_unique<KeyboardProcess>(root_.path() + "/run/kbd.sock",
                                                      root_.path() + "/kbd.state");
        QVERIFY(keyboard_->Start());
        setenv("BRINDLE_DEVICE", keyboard_->Device().toUtf8().constData(), 1);

        parts_ = std::make_unique<WindowParts>();
        MainWindowSetup setup = parts_->Setup(root_.path(), program, messages_, shared_);
        setup.exitProcess = [this](int code) { exitCode_ = code; };
        setup.openDocument = [](const std::string&) { return 42; };
        setup.popupMenu = [](QMenu&) { return 0; };
        setup.exchange.answerTimeout = std::chrono::milliseconds(300);
        setup.busyShowDelay = std::chrono::milliseconds(0);
        window_ = std::make_unique<CKeyweaveDlg>(setup);
        window_->installEventFilter(this);
        QVERIFY(window_->Initialise());
        QCOMPARE(exitCode_, -1);
    }

    void start_keyboardPresent_shownOnceAfterAttach() {
        QTRY_VERIFY_WITH_TIMEOUT(window_->isVisible(), 10000);
        QVERIFY(window_->InitialisationFinished());
        QCOMPARE(showsBeforeAttach_, 0);
        QTest::qWait(50);
        QCOMPARE(shows_, 1);
        QVERIFY(!window_->Tray().Added()); // no tray host here: the program goes on without
        QVERIFY(!window_->ApplyPending());
        QVERIFY(!window_->Button(ids::kApply)->isEnabled());
    }

    void messages_wrongCode_ignored() {
        window_->HandleMessage(wm::kKill, 0, 0);
        window_->HandleMessage(wm::kKill, wcode::kOpen, 0);
        window_->HandleMessage(wm::kKeyboardRemoved, 5, 0);
        window_->HandleMessage(wm::kInit, wcode::kKill, 0);
        QVERIFY(!window_->Ended());
        QVERIFY(window_->isVisible());
    }

    void keyMissingFromSkin_disabledAndClickDoesNothing() {
        CPngButton* missing = window_->Button(KeyId(kUnplacedPosition));
        QVERIFY(!missing->isEnabled());
        QVERIFY(window_->Button(KeyId(0))->isEnabled());
        shared_.colourKeysMode = 1;
        const uint32_t before = LightFlag(kUnplacedPosition);
        window_->OnCommand(KeyId(kUnplacedPosition));
        QCOMPARE(LightFlag(kUnplacedPosition), before);
        QVERIFY(!window_->ApplyPending());
        shared_.colourKeysMode = 0;
    }

    void colourKeys_clickA_togglesEntryOfItsPositionAndApplyWrites() {
        window_->OnCommand(ids::kModeSwitch);
        QCOMPARE(shared_.colourKeysMode.load(), 1);
        QCOMPARE(window_->Button(ids::kModeSwitch)->text(),
                 QString::fromStdU16String(
                     window_->Slots().Resolve(TextSlot::SwitchToFunctionKeys, window_->Lookup())));
        const size_t aIndex = KeyViewButton(0).keyIndex; // 0x1E: not the entry that changes
        QCOMPARE(aIndex, size_t{0x1E});
        CPngButton* a = window_->Button(KeyId(0));
        window_->OnCommand(KeyId(0));
        QCOMPARE(LightFlag(0), 1u);
        QCOMPARE(LightFlag(aIndex), 0u);
        QVERIFY(a->CustomPicturesOn() && a->CustomChoosesOn());
        QVERIFY(window_->ApplyPending());
        QVERIFY(window_->Button(ids::kApply)->isEnabled());
        window_->OnCommand(KeyId(0));
        QCOMPARE(LightFlag(0), 0u);
        QVERIFY(!a->CustomChoosesOn());
        window_->OnCommand(KeyId(0));

        keyboard_->Ctl({"clear-log"});
        window_->OnCommand(ids::kApply);
        QVERIFY(WaitForApply());
        QVERIFY(!window_->ApplyPending());
        QVERIFY(!window_->Button(ids::kApply)->isEnabled());
        bool keyTableWritten = false;
        for (const auto& report : keyboard_->Reports())
            keyTableWritten |= report[3] == cmd::kWriteKeyTable;
        QVERIFY(keyTableWritten);
        window_->OnCommand(ids::kModeSwitch);
        QCOMPARE(shared_.colourKeysMode.load(), 0);
        QVERIFY(!a->CustomPicturesOn());
    }

    void apply_slowKeyboard_windowAnimatesAndClicksWait() {
        shared_.colourKeysMode = 1;
        window_->OnCommand(KeyId(2));
        const uint32_t flag = LightFlag(2);
        keyboard_->Ctl({"fault", "delay", "40"});
        window_->OnCommand(ids::kApply);
        QVERIFY(window_->Applying());
        window_->OnCommand(KeyId(2)); // would change the image: waits for the write
        QCOMPARE(LightFlag(2), flag);
        const int firstFrame = window_->BusyFrame();
        QTRY_VERIFY_WITH_TIMEOUT(window_->BusyFrame() != firstFrame || !window_->Applying(), 5000);
        QVERIFY(window_->Applying()); // the GUI thread kept running during the write
        QVERIFY(window_->BusyVisible());
        QVERIFY(WaitForApply());
        keyboard_->Ctl({"fault", "clear"});
        QCOMPARE(LightFlag(2), flag == 0 ? 1u : 0u); // the waiting click ran afterwards
        QVERIFY(window_->ApplyPending());
        window_->OnCommand(ids::kApply);
        QVERIFY(WaitForApply());
        shared_.colourKeysMode = 0;
    }

    void reportRate_click_writesOneByteAtShownProfileOffset() {
        const int shown = window_->Protocol()->ShownProfile();
        keyboard_->Ctl({"clear-log"});
        window_->OnCommand(KeyboardView::kReportRateButtons[2]);
        QVERIFY(window_->Button(KeyboardView::kReportRateButtons[2])->IsSelected());
        QVERIFY(!window_->Button(KeyboardView::kReportRateButtons[0])->IsSelected());
        std::vector<std::vector<int>> writes;
        for (const auto& report : keyboard_->Reports())
            if (report[3] == cmd::kWriteLighting)
                writes.push_back(report);
        QCOMPARE(writes.size(), size_t{1});
        QCOMPARE(writes[0][4], 1);                                     // length
        QCOMPARE(writes[0][5] | (writes[0][6] << 8), shown * 42 + 15); // address
        QCOMPARE(writes[0][8], 2);
        QVERIFY(!window_->ApplyPending());
    }

    void flip_storedSeven_actsAsOneAndNextClickWritesZero() {
        parts_->appProfiles.WriteString(u"Flip", u"7");
        window_->View().ApplyFlip();
        QVERIFY(!window_->Button(1010)->isEnabled()); // F1..F4 give way to D1..D6
        QVERIFY(window_->Button(1016)->isEnabled());
        window_->OnCommand(KeyboardView::kFlipLeft);
        QCOMPARE(parts_->appProfiles.ReadString(u"Flip").value_or(u""), std::u16string(u"0"));
        QVERIFY(window_->Button(1010)->isEnabled());
        QVERIFY(!window_->Button(1016)->isEnabled());
        window_->OnCommand(KeyboardView::kFlipRight);
        QCOMPARE(parts_->appProfiles.ReadString(u"Flip").value_or(u""), std::u16string(u"1"));
    }

    void defaultProfile_yes_clearsEntriesAndApplies() {
        const int page = window_->ActivePage();
        {
            ConfigContext& live = window_->Contexts().live;
            std::lock_guard<std::mutex> guard(live.lock);
            live.image->pages[page].entries[KeyViewButton(0).keyIndex] = {kKeyDisabled, 0, 0, 0, 0};
            live.image->pages[page].entries[kExtraKeyBank0Entry] = {kKeyDisabled, 0x301, 0, 0, 0};
        }
        window_->View().RefreshKeyButtons();
        QVERIFY(window_->Button(KeyId(0))->IsSelected());

        messages_.answers = {false};
        window_->OnCommand(ids::kDefaultProfile);
        QCOMPARE(messages_.asked.size(), size_t{1});
        QVERIFY(window_->Button(KeyId(0))->IsSelected()); // No keeps everything

        messages_.answers = {true};
        keyboard_->Ctl({"clear-log"});
        window_->OnCommand(ids::kDefaultProfile);
        QVERIFY(WaitForApply());
        QVERIFY(!window_->Button(KeyId(0))->IsSelected());
        QVERIFY(!window_->ApplyPending());
        {
            ConfigContext& live = window_->Contexts().live;
            std::lock_guard<std::mutex> guard(live.lock);
            QCOMPARE(live.image->pages[page].entries[KeyViewButton(0).keyIndex].type,
                     uint16_t{kKeyDefault});
            QCOMPARE(live.image->pages[page].entries[kExtraKeyBank0Entry].type,
                     uint16_t{kKeyDefault});
        }
        bool keyTableWritten = false;
        for (const auto& report : keyboard_->Reports())
            keyTableWritten |= report[3] == cmd::kWriteKeyTable;
        QVERIFY(keyTableWritten);
    }

    void profileSwitchOnKeyboard_timerFollowsIt() {
        const int before = window_->Protocol()->GetActiveProfile();
        const int target = before == 2 ? 1 : 2;
        keyboard_->Ctl({"profile-key", QString::number(target)});
        QTRY_VERIFY_WITH_TIMEOUT(
            window_->Button(KeyboardView::kProfileButtons[target])->IsSelected(), 5000);
        QVERIFY(!window_->Button(KeyboardView::kProfileButtons[before])->IsSelected());
        QCOMPARE(window_->Protocol()->ShownProfile(), target);
    }

    void unplug_hidesAndClosesAbout_showRequestGivesNoKeyboardText() {
        window_->OnCommand(ids::kTrayOpen);
        QVERIFY(window_->isVisible());
        window_->OpenAbout();
        QPointer<CAboutDlg> about = window_->About();
        QVERIFY(about);
        keyboard_->Ctl({"unplug"});
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 5000);
        QTRY_VERIFY(about.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(window_->Connection()->LastKnownCount() == 0, 5000);

        messages_.shown.clear();
        window_->HandleMessage(wm::kOpen, wcode::kOpen, 0);
        QCOMPARE(messages_.shown.size(), size_t{1});
        QCOMPARE(messages_.shown[0],
                 window_->Slots().Resolve(TextSlot::NoKeyboard, window_->Lookup()));
        QVERIFY(!window_->isVisible());

        // Plugged back: refreshed through PROF, but the window does not show itself again.
        keyboard_->Ctl({"plug"});
        QTRY_VERIFY_WITH_TIMEOUT(window_->Connection()->LastKnownCount() > 0, 5000);
        QTest::qWait(200);
        QVERIFY(!window_->isVisible());
    }

    void kill_runsExitSequence() {
        QSignalSpy ended(window_.get(), &CKeyweaveDlg::ended);
        window_->HandleMessage(wm::kKill, wcode::kKill, 0);
        QCOMPARE(ended.count(), 1);
        QVERIFY(window_->Ended());
        QVERIFY(!window_->isVisible());
        QVERIFY(!window_->ApplyPending());
        QCOMPARE(window_->TrayIconShown(), 0);
        ConfigContext& live = window_->Contexts().live;
        std::lock_guard<std::mutex> guard(live.lock);
        QVERIFY(!live.image);
    }

    void cleanupTestCase() {
        window_.reset();
        keyboard_.reset();
    }
};

QTEST_MAIN(CKeyweaveDlgTest)
#include "CKeyweaveDlg_test.moc"
