// The main window's button menu, Import and Backup, against a virtual keyboard attached from the
// start, with scripted file dialogs. One window for the whole program: the device service library
// and its callback are process-wide.
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <deque>
#include <memory>

#include "WindowFixture.h"
#include "core/config/ConfigImage.h"
#include "core/config/ProfileFile.h"
#include "core/device/Report.h"
#include "core/platform/FileChooser.h"
#include "gui/app/QtFileChooser.h"
#include "gui/mainwnd/CKeyweaveDlg.h"
#include "gui/skin/CPngButton.h"

using namespace brindle;
using namespace brindle::testing;

namespace {

class ScriptedFiles : public FileChooser {
public:
    std::string ChooseFileToOpen(const FileChoice& choice) override {
        opened.push_back(choice);
        return Next();
    }
    std::string ChooseFileToSave(const FileChoice& choice) override {
        saved.push_back(choice);
        return Next();
    }
    std::deque<std::string> answers; // "" is a cancelled dialog
    std::vector<FileChoice> opened, saved;

private:
    std::string Next() {
        std::string answer = answers.empty() ? std::string() : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ButtonMenuTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    std::unique_ptr<KeyboardProcess> keyboard_;
    std::unique_ptr<WindowParts> parts_;
    ScriptedMessages messages_;
    ScriptedFiles files_;
    MainShared shared_;
    std::unique_ptr<CKeyweaveDlg> window_;
    int menuChoice_ = 0;
    std::vector<int> menuCommands_;

    QString UserFile(const QString& name) const { return root_.path() + "/user/" + name; }
    std::string Path(const QString& name) const {
        return (root_.path() + "/" + name).toStdString();
    }
    QStringList KeyTables() {
        QStringList tables;
        for (int p = 0; p < kProfileCount; ++p)
            tables << keyboard_->Ctl({"dump", "keytable", QString::number(p)});
        return tables;
    }
    bool AnythingWritten() {
        for (const auto& report : keyboard_->Reports())
            switch (report[3]) {
            case cmd::kBeginTransfer:
            case cmd::kWriteSettings:
            case cmd::kWriteLighting:
            case cmd::kWriteKeyTable:
            case cmd::kWriteMacroArea:
            case cmd::kWriteKeyColours:
                return true;
            default:
                break;
            }
        return false;
    }
    bool WaitForWrite() {
        if (!window_->Applying())
            return true;
        QSignalSpy finished(window_.get(), &CKeyweaveDlg::applyFinished);
        return finished.wait(10000);
    }
    void Import(const std::string& path) {
        files_.answers = {path};
        window_->OnCommand(ids::kImport);
    }
    void Backup(const std::string& path) {
        files_.answers = {path};
        window_->OnCommand(ids::kExport);
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
        setup.files = &files_;
        setup.exitProcess = [](int) {};
        setup.openDocument = [](const std::string&) { return 0; };
        setup.popupMenu = [this](QMenu& menu) {
            menuCommands_.clear();
            for (QAction* action : menu.actions())
                menuCommands_.push_back(action->data().toInt());
            return menuChoice_;
        };
        setup.exchange.answerTimeout = std::chrono::milliseconds(300);
        setup.busyShowDelay = std::chrono::milliseconds(0);
        window_ = std::make_unique<CKeyweaveDlg>(setup);
        QVERIFY(window_->Initialise());
        QTRY_VERIFY_WITH_TIMEOUT(window_->isVisible(), 10000);
        // The keyboard has been read into the active profile's snapshot and the image.
        const int active = window_->Protocol()->GetActiveProfile();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(UserFile(QString("$Profile%1").arg(active))), 5000);
    }

    void nameFilters_windowsForm_becomeQtNameFilters() {
        QCOMPARE(QtNameFilters("(*.kwv)|*.kwv|(*.*)|*.*||"), QStringList({"(*.kwv)", "(*)"}));
        QCOMPARE(QtNameFilters("Logs (*.txt;*.log)|*.txt;*.log||"),
                 QStringList({"Logs (*.txt *.log)"}));
        QCOMPARE(QtNameFilters(""), QStringList());
    }

    void menu_offersImportAndBackup_withProfileFileDialogs() {
        menuChoice_ = ids::kExport;
        files_.answers = {""};
        window_->OnCommand(ids::kButtonMenu);
        QCOMPARE(menuCommands_, std::vector<int>({ids::kImport, ids::kExport}));
        QCOMPARE(files_.saved.size(), size_t{1});
        QCOMPARE(files_.saved[0].extension, std::string("kwv"));
        QCOMPARE(files_.saved[0].defaultName, std::string("*.kwv"));
        QCOMPARE(files_.saved[0].filter, std::string("(*.kwv)|*.kwv|(*.*)|*.*||"));

        menuChoice_ = ids::kImport;
        files_.answers = {""};
        window_->OnCommand(ids::kButtonMenu);
        QCOMPARE(files_.opened.size(), size_t{1});
        QCOMPARE(files_.opened[0].filter, files_.saved[0].filter);
        menuChoice_ = 0;
    }

    void cancelledDialogs_doNothing() {
        messages_.shown.clear();
        keyboard_->Ctl({"clear-log"});
        const QStringList tables = KeyTables();
        Import("");
        Backup("");
        QVERIFY(!window_->Applying());
        QVERIFY(messages_.shown.empty());
        QVERIFY(!AnythingWritten());
        QCOMPARE(KeyTables(), tables);
        QVERIFY(!window_->ApplyPending());
    }

    void backupThenImport_writesAllThreeKeyTablesBackByteForByte() {
        const QStringList original = KeyTables();
        Backup(Path("original.kwv"));
        QVERIFY(messages_.shown.empty());
        QVERIFY(QFile::exists(root_.path() + "/original.kwv"));

        // A changed key on every page, backed up and imported: each profile's table changes.
        const size_t key = KeyViewButton(0).keyIndex;
        {
            ConfigContext& live = window_->Contexts().live;
            std::lock_guard<std::mutex> guard(live.lock);
            for (int page = 0; page < kProfileCount; ++page)
                live.image->pages[page].entries[key] = {kKeyDisabled, 0, 0, 0, 0};
        }
        Backup(Path("changed.kwv"));
        const int active = window_->Protocol()->GetActiveProfile();
        // A slow keyboard: the write runs while the window goes on animating.
        keyboard_->Ctl({"fault", "delay", "10"});
        Import(Path("changed.kwv"));
        QVERIFY(window_->Applying());
        QTRY_VERIFY_WITH_TIMEOUT(window_->BusyVisible() || !window_->Applying(), 5000);
        QVERIFY(WaitForWrite());
        keyboard_->Ctl({"fault", "clear"});
        QVERIFY(messages_.shown.empty());
        QVERIFY(!window_->ApplyPending());
        QVERIFY(!window_->Button(ids::kApply)->isEnabled());
        QVERIFY(window_->Button(KeyViewButton(0).controlId)->IsSelected()); // redrawn
        const QStringList changed = KeyTables();
        for (int p = 0; p < kProfileCount; ++p)
            QVERIFY2(changed[p] != original[p], qPrintable(QString("profile %1").arg(p)));
        // The active profile's snapshot now holds the imported file.
        QCOMPARE(ReadAll(UserFile(QString("$Profile%1").arg(active))),
                 ReadAll(root_.path() + "/changed.kwv"));

        window_->EnableApply(); // pending changes are replaced by the import as well
        Import(Path("original.kwv"));
        QVERIFY(WaitForWrite());
        QCOMPARE(KeyTables(), original);
        QVERIFY(!window_->ApplyPending());
        QVERIFY(!window_->Button(ids::kApply)->isEnabled());
        QVERIFY(!window_->Button(KeyViewButton(0).controlId)->IsSelected());
        QVERIFY(messages_.shown.empty());
    }

    void import_invalidFile_promptsAndLeavesImageAndKeyboardAlone() {
        const QByteArray valid = ReadAll(root_.path() + "/original.kwv");
        QVERIFY(valid.size() >= 32832);
        QByteArray badMagic = valid;
        badMagic[0] = char(badMagic[0] ^ 0x01);
        struct Case {
            const char* name;
            QByteArray bytes; // null: no file at all
            bool wrongFormat; // the header is at fault
        };
        const Case cases[] = {
            {"badMagic.kwv", badMagic, true},
            {"short.kwv", valid.left(32831), false},
            {"missing.kwv", QByteArray(), false},
        };
        const std::u16string prompt = window_->Lookup()(u"IDS_MAIN_PROMPT_INPORT");
        for (const Case& c : cases) {
            const QString path = root_.path() + "/" + c.name;
            if (!c.bytes.isNull()) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(c.bytes);
            }
            std::unique_ptr<ConfigImage> before;
            {
                ConfigContext& live = window_->Contexts().live;
                std::lock_guard<std::mutex> guard(live.lock);
                before = std::make_unique<ConfigImage>(*live.image);
            }
            messages_.shown.clear();
            keyboard_->Ctl({"clear-log"});
            Import(path.toStdString());
            QVERIFY2(!window_->Applying(), c.name);
            std::vector<std::u16string> expected;
            if (c.wrongFormat) {
                std::u16string text = kWrongFileFormatText;
                text.replace(text.find(u"%s"), 2, path.toStdU16String());
                expected.push_back(text);
            }
            expected.push_back(prompt);
            QVERIFY2(messages_.shown == expected, c.name);
            QVERIFY2(!AnythingWritten(), c.name);
            ConfigContext& live = window_->Contexts().live;
            std::lock_guard<std::mutex> guard(live.lock);
            QVERIFY2(std::memcmp(live.image.get(), before.get(), sizeof(ConfigImage)) == 0, c.name);
        }
    }

    void backup_targetNotAFile_saysSo() {
        messages_.shown.clear();
        QVERIFY(QDir().mkpath(root_.path() + "/folder.kwv")); // a folder cannot become the file
        Backup(Path("folder.kwv"));
        QCOMPARE(messages_.shown.size(), size_t{1});
        QCOMPARE(messages_.shown[0], window_->Lookup()(u"MAIN_UPDATE_BACKUP_NG"));
        QVERIFY(messages_.shown[0] != u"MAIN_UPDATE_BACKUP_NG"); // the language file has it
    }

    void cleanupTestCase() {
        window_.reset();
        keyboard_.reset();
    }
};

QTEST_MAIN(ButtonMenuTest)
#include "ButtonMenu_test.moc"
