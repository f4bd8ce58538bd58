// The real `brindle` program as processes: the single-instance hand-over and a skin that cannot
// be read. Each run gets private XDG folders; the device is a virtual keyboard socket.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

class ProgramTest : public QObject {
    Q_OBJECT

    QString bin_;

    QProcessEnvironment Environment(const QTemporaryDir& root) {
        for (const char* name : {"config", "data", "run", "home/Documents"})
            QDir().mkpath(root.path() + "/" + name);
        QFile::setPermissions(root.path() + "/run",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", root.path() + "/config");
        env.insert("XDG_DATA_HOME", root.path() + "/data");
        env.insert("XDG_RUNTIME_DIR", root.path() + "/run");
        env.insert("HOME", root.path() + "/home");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Nobody listens there: the program runs with no keyboard and stays in the tray.
        env.insert("BRINDLE_DEVICE", "sim:" + root.path() + "/run/nobody.sock");
        return env;
    }

    // Starts the program and waits until it answers on its mailbox (initialised).
    bool StartInstance(QProcess& process, const QProcessEnvironment& env, const QString& root,
                       const QStringList& args = {}) {
        process.setProcessEnvironment(env);
        process.start(bin_ + "/brindle", args);
        if (!process.waitForStarted(5000))
            return false;
        const QString mailbox =
            root + "/run/brindle-instances/" + QString::number(process.processId());
        for (int i = 0; i < 1000; ++i) {
            if (QFile::exists(mailbox))
                return true;
            if (process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(10);
        }
        return false;
    }

    int Run(const QProcessEnvironment& env, const QStringList& args,
            const QString& program = QString()) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program.isEmpty() ? bin_ + "/brindle" : program, args);
        if (!process.waitForFinished(15000)) {
            process.kill();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

private slots:
    void initTestCase() {
        const char* dir = std::getenv("BRINDLE_BIN_DIR");
        bin_ = QString::fromUtf8(dir ? dir : BRINDLE_BIN_DIR);
        if (!QFile::exists(bin_ + "/Skins/Main.ini"))
            QSKIP("the default skin has not been generated");
    }

    void secondCopy_exitsZeroAndFirstRunsOn_killInAnyCaseEndsIt() {
        QTemporaryDir root;
        const QProcessEnvironment env = Environment(root);
        QProcess first;
        QVERIFY(StartInstance(first, env, root.path(), {"/Start"}));
        QCOMPARE(Run(env, {}), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(Run(env, {"/kIlL", "/Start"}), 0);
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(first.exitCode(), 0);
        // The mailbox and the lock are gone with it.
        QVERIFY(!QFile::exists(root.path() + "/run/brindle-instances/" +
                               QString::number(first.processId())));
    }

    void killWithNoneRunning_startsNormally() {
        QTemporaryDir root;
        const QProcessEnvironment env = Environment(root);
        QProcess lone;
        QVERIFY(StartInstance(lone, env, root.path(), {"/KILL"}));
        QCOMPARE(Run(env, {"/kill"}), 0);
        QVERIFY(lone.waitForFinished(5000));
        QCOMPARE(lone.exitCode(), 0);
    }

    void skinWithoutMainPicture_endsWithExitCodeZero() {
        QTemporaryDir root;
        const QProcessEnvironment env = Environment(root);
        const QString folder = root.path() + "/copy";
        QDir().mkpath(folder + "/Skins");
        QVERIFY(QFile::copy(bin_ + "/brindle", folder + "/brindle"));
        QFile::setPermissions(folder + "/brindle", QFile::ReadOwner | QFile::ExeOwner);
        QFile::link(bin_ + "/libHidServ.so", folder + "/libHidServ.so");
        QFile ini(folder + "/Skins/Main.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[SCREEN]\nLink=https://keyweave.example/\n[BUTTONINFO]\nCONTROL_OK=1,1,1,1\n");
        ini.close();
        QCOMPARE(Run(env, {}, folder + "/brindle"), 0);
    }
};

QTEST_MAIN(ProgramTest)
#include "Program_test.moc"
