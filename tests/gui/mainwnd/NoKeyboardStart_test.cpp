// The main window started while no keyboard is there: it stays hidden, even when the keyboard is
// plugged in later, and a show request only gives the no-keyboard message.
#include <QTest>
#include <memory>

#include "WindowFixture.h"
#include "gui/mainwnd/CKeyweaveDlg.h"

using namespace brindle;
using namespace brindle::testing;

class NoKeyboardStartTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    std::unique_ptr<KeyboardProcess> keyboard_;
    std::unique_ptr<WindowParts> parts_;
    ScriptedMessages messages_;
    MainShared shared_;
    std::unique_ptr<CKeyweaveDlg> window_;
    int shows_ = 0;

    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == window_.get() && event->type() == QEvent::Show)
            ++shows_;
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
        setenv("BRINDLE_DEVICE", keyboard_->Device().toUtf8().constData(), 1);
        parts_ = std::make_unique<WindowParts>();
        MainWindowSetup setup = parts_->Setup(root_.path(), program, messages_, shared_);
        setup.exitProcess = [](int) { QFAIL("the window must start without a keyboard"); };
        setup.openDocument = [](const std::string&) { return 42; };
        window_ = std::make_unique<CKeyweaveDlg>(setup);
        window_->installEventFilter(this);
        QVERIFY(window_->Initialise());
        QTRY_VERIFY(window_->InitialisationFinished());
    }

    void noKeyboard_staysHiddenAndShowRequestGivesMessage() {
        QTest::qWait(100);
        QCOMPARE(shows_, 0);
        window_->OnCommand(ids::kTrayOpen);
        QCOMPARE(messages_.shown.size(), size_t{1});
        QCOMPARE(messages_.shown[0],
                 window_->Slots().Resolve(TextSlot::NoKeyboard, window_->Lookup()));
        QCOMPARE(shows_, 0);
    }

    void keyboardPluggedLater_readButNotShown() {
        QVERIFY(keyboard_->Start());
        QTRY_VERIFY_WITH_TIMEOUT(window_->Connection()->LastKnownCount() > 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(window_->Protocol()->GetActiveProfile() >= 0, 5000);
        QTest::qWait(200);
        QCOMPARE(shows_, 0);
        // Now a show request opens it.
        window_->HandleMessage(wm::kOpen, wcode::kOpen, 0);
        QCOMPARE(shows_, 1);
        QCOMPARE(messages_.shown.size(), size_t{1});
    }

    void cleanupTestCase() {
        window_.reset();
        keyboard_.reset();
    }
};

QTEST_MAIN(NoKeyboardStartTest)
#include "NoKeyboardStart_test.moc"
