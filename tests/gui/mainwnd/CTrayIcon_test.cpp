#include "gui/mainwnd/CTrayIcon.h"

#include <QAction>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>

using namespace brindle;

class CTrayIconTest : public QObject {
    Q_OBJECT

    static std::vector<CTrayIcon::MenuItem> Items() {
        return {{32771, "Open"}, {32773, "About"}, {32774, "Exit"}};
    }

private slots:
    void noTrayHost_createFailsAndEverythingIsQuiet() {
        QDialog owner;
        CTrayIcon tray;
        tray.trayAvailable = [] { return false; };
        QVERIFY(!tray.Create(&owner, 1725, "tip", QIcon(), 140, Items()));
        QSignalSpy commands(&tray, &CTrayIcon::command);
        tray.SetTooltip("other");
        tray.OnTrayNotification(140, CTrayIcon::Mouse::LeftButtonDoubleClick);
        QCOMPARE(commands.count(), 0);
        QVERIFY(!tray.Added());
        CTrayIcon orphan;
        orphan.trayAvailable = [] { return true; };
        QVERIFY(!orphan.Create(nullptr, 1725, "tip", QIcon(), 140, Items()));
    }

    void mouse_singleClickNothingDoubleClickOpensMenuChooses() {
        QDialog owner;
        CTrayIcon tray;
        tray.trayAvailable = [] { return true; };
        QStringList shownTexts;
        int chosen = 32774;
        tray.popup = [&](QMenu& menu) {
            for (QAction* a : menu.actions())
                shownTexts << a->text();
            return chosen;
        };
        tray.SetMenuCallback([](QMenu& menu) {
            for (QAction* a : menu.actions())
                a->setText(QString("text %1").arg(a->data().toInt()));
        });
        QVERIFY(tray.Create(&owner, 1725, "tip", QIcon(), 140, Items()));
        tray.SetSingleClickCommand(1009);
        QSignalSpy commands(&tray, &CTrayIcon::command);

        tray.OnTrayNotification(140, CTrayIcon::Mouse::LeftButtonDown);
        QCOMPARE(commands.count(), 0);
        QVERIFY(tray.SingleClickPending());
        tray.OnTrayNotification(140, CTrayIcon::Mouse::LeftButtonDoubleClick);
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.takeFirst().at(0).toInt(), 32771);
        QVERIFY(!tray.SingleClickPending());

        tray.OnTrayNotification(141, CTrayIcon::Mouse::RightButtonUp); // another icon's id
        QVERIFY(shownTexts.isEmpty());
        tray.OnTrayNotification(140, CTrayIcon::Mouse::RightButtonUp);
        QCOMPARE(shownTexts, QStringList({"text 32771", "text 32773", "text 32774"}));
        QCOMPARE(commands.takeFirst().at(0).toInt(), 32774);
        chosen = 0;
        tray.OnTrayNotification(140, CTrayIcon::Mouse::RightButtonUp);
        QCOMPARE(commands.count(), 0);
    }

    void tooltip_longTextCutToTheRecordWithoutSplittingPairs() {
        QDialog owner;
        CTrayIcon tray;
        tray.trayAvailable = [] { return true; };
        QVERIFY(tray.Create(&owner, 1725, "tip", QIcon(), 140, Items()));
        QCOMPARE(tray.Tooltip(), QString("tip"));
        QString text = QString(126, 'x') + QString::fromUtf16(u"\U0001F600") + "tail";
        tray.SetTooltip(text);
        QCOMPARE(tray.Tooltip(), QString(126, 'x'));
        tray.Delete();
        tray.SetTooltip("after");
        QCOMPARE(tray.Tooltip(), QString(126, 'x'));
    }
};

QTEST_MAIN(CTrayIconTest)
#include "CTrayIcon_test.moc"
