// What the main window tests stand on: a program folder in a temporary folder (the real device
// service library, a small skin drawn here, the real language file), private XDG folders, a
// virtual keyboard process driven through `brindle-kbdsim ctl`, and scripted message boxes.
#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/app/KeyViewTable.h"
#include "core/app/MainShared.h"
#include "core/app/ProgramPaths.h"
#include "core/lang/Language.h"
#include "core/platform/KeyStore.h"
#include "core/platform/UserMessages.h"
#include "gui/mainwnd/MainWindowSetup.h"

namespace brindle::testing {

class ScriptedMessages : public UserMessages {
public:
    void ShowInfo(const std::u16string& text) override { shown.push_back(text); }
    bool AskYesNo(const std::u16string& text) override {
        asked.push_back(text);
        bool answer = answers.empty() ? false : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    std::vector<std::u16string> shown;
    std::vector<std::u16string> asked;
    std::deque<bool> answers;
};

inline QString BinDir() {
    const char* dir = std::getenv("BRINDLE_BIN_DIR");
    return QString::fromUtf8(dir ? dir : BRINDLE_BIN_DIR);
}

// The key button positions left out of the fixture skin: they must come up disabled.
constexpr size_t kUnplacedPosition = 1;

// A program folder: Skins/Main.ini placing every key but one in a grid, every window button,
// full-window pictures in distinct colours, and the device service library of the build.
inline void MakeProgramFolder(const QString& folder, bool withMain = true) {
    QDir().mkpath(folder + "/Skins");
    QDir().mkpath(folder + "/Help");
    QFile::link(BinDir() + "/libHidServ.so", folder + "/libHidServ.so");
    QFile::copy(BinDir() + "/Lang0409.ini", folder + "/Lang0409.ini");
    QFile::copy(BinDir() + "/Skins/language.ini", folder + "/Skins/language.ini");
    const QSize size(760, 320);
    auto picture = [&](const char* name, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(folder + "/Skins/" + name);
    };
    picture("bg.jpg", QColor(0x20, 0x22, 0x28));
    picture("main_normal.jpg", QColor(0x30, 0x33, 0x3a));
    picture("main_over.jpg", QColor(0x40, 0x60, 0x90));
    picture("main_down.jpg", QColor(0x20, 0x40, 0x70));
    picture("main_disable.jpg", QColor(0x90, 0x60, 0x20));
    picture("main_color0.jpg", QColor(0x10, 0x10, 0x10));
    picture("main_color1.jpg", QColor(0xE0, 0x30, 0x30));
    picture("Arrow.jpg", QColor(0xA0, 0xA0, 0xA0));
    QFile ini(folder + "/Skins/Main.ini");
    ini.open(QIODevice::WriteOnly);
    QStringList lines;
    lines << "[SCREEN]";
    if (withMain)
        lines << "Main=bg.jpg";
    lines << "Link=https://keyweave.example/test"
          << "[BUTTONINFO]";
    for (size_t p = 0; p < kViewKeyCount; ++p) {
        if (p == kUnplacedPosition)
            continue;
        const int x = 10 + static_cast<int>(p % 21) * 30, y = 10 + static_cast<int>(p / 21) * 30;
        const QString index =
            QString("%1").arg(KeyViewButton(p).keyIndex, 3, 16, QChar('0')).toUpper();
        lines << QString("KEY_%1=%2,%3,26,26").arg(index).arg(x).arg(y);
    }
    for (int d = 1; d <= 6; ++d)
        lines << QString("FUNC_D%1=%2,200,26,26").arg(d).arg(400 + d * 30);
    for (int n = 1; n <= 9; ++n)
        lines << QString("FUNC_G%1=%2,170,26,26").arg(n).arg(10 + n * 30);
    const char* windowKeys[] = {
        "FUNC_PROFILE1", "FUNC_PROFILE2", "FUNC_PROFILE3",  "FUNC_DEFAULT",
        "FUNC_SWITCH",   "FUNC_REPORT1",  "FUNC_REPORT2",   "FUNC_REPORT3",
        "FUNC_REPORT4",  "CONTROL_OK",    "CONTROL_CANCEL", "CONTROL2_APPLY",
        "FLIP_0",        "FLIP_1",        "FLIP_2",         "LOCK_AB"};
    int x = 10;
    for (const char* key : windowKeys) {
        lines << QString("%1=%2,220,40,24").arg(key).arg(x);
        x += 45;
    }
    lines << "LEFT_ARROW=600,260,20,20"
          << "RIGHT_ARROW=630,260,20,20"
          << "CONTROL_JDTStatic=700,280,40,10"
          << "[BUTTONINFO2]"
          << "DOWN_ARROW_LEFT1=0,0,20,20"
          << "UP_ARROW_LEFT1=20,0,20,20"
          << "DOWN_ARROW_RIGHT1=40,0,20,20"
          << "UP_ARROW_RIGHT1=60,0,20,20";
    ini.write(lines.join("\n").toUtf8() + "\n");
}

// A virtual keyboard process on a private socket.
class KeyboardProcess {
public:
    KeyboardProcess(const QString& socketPath, const QString& stateFile)
        : socket_(socketPath), state_(stateFile) {}
    ~KeyboardProcess() { Stop(); }
    bool Start() {
        process_.start(BinDir() + "/brindle-kbdsim",
                       {"serve", "--socket", socket_, "--state", state_});
        if (!process_.waitForStarted(5000))
            return false;
        for (int i = 0; i < 500; ++i) {
            if (QFile::exists(socket_))
                return true;
            QTest::qWait(10);
        }
        return false;
    }
    void Stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
    }
    // `brindle-kbdsim ctl` with the given command; its output.
    QString Ctl(const QStringList& command) {
        QProcess ctl;
        ctl.start(BinDir() + "/brindle-kbdsim", QStringList{"ctl", "--socket", socket_} + command);
        ctl.waitForFinished(5000);
        return QString::fromUtf8(ctl.readAllStandardOutput());
    }
    // The reports of the control interface received since the last clear-log, as byte lists.
    std::vector<std::vector<int>> Reports() {
        std::vector<std::vector<int>> reports;
        for (const QString& line : Ctl({"log"}).split('\n', Qt::SkipEmptyParts)) {
            QStringList parts = line.split(' ', Qt::SkipEmptyParts);
            std::vector<int> bytes;
            for (int i = 1; i < parts.size(); ++i)
                bytes.push_back(parts[i].toInt(nullptr, 16));
            if (bytes.size() >= 8 && bytes[0] == 4)
                reports.push_back(bytes);
        }
        return reports;
    }
    QString Device() const { return "sim:" + socket_; }

private:
    QString socket_;
    QString state_;
    QProcess process_;
};

// Private XDG folders and HOME, so nothing of the real user is touched.
inline void UsePrivateFolders(const QString& root) {
    for (const char* name : {"config", "data", "run", "home/Documents"})
        QDir().mkpath(root + "/" + name);
    QFile::setPermissions(root + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("XDG_CONFIG_HOME", (root + "/config").toUtf8().constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/run").toUtf8().constData(), 1);
    setenv("HOME", (root + "/home").toUtf8().constData(), 1);
    setenv("LANG", "en_US.UTF-8", 1);
}

// The per-user keys and the language of a window under test, and the setup every window test
// starts from; each test then sets the callbacks it watches.
struct WindowParts {
    KeyStore settingsKey{"HKEY_CURRENT_USER\\Software\\QX5570"};
    KeyStore appProfiles{"HKEY_CURRENT_USER\\Software\\Keyweave_Orvane\\Brindle\\PROFILES"};
    std::unique_ptr<Language> language;

    MainWindowSetup Setup(const QString& root, const QString& program, UserMessages& messages,
                          MainShared& shared) {
        MainWindowSetup setup;
        setup.paths = ProgramPaths::FromExecutable((program + "/brindle").toStdString());
        language = std::make_unique<Language>(setup.paths.programFolder, settingsKey);
        setup.language = language.get();
        setup.appProfiles = &appProfiles;
        setup.messages = &messages;
        setup.shared = &shared;
        setup.runtimeFolder = (root + "/run").toStdString();
        setup.userFolder = (root + "/user").toStdString();
        setup.trayAvailable = [] { return false; };
        setup.connection.initPoll = std::chrono::milliseconds(5);
        return setup;
    }
};

} // namespace brindle::testing
