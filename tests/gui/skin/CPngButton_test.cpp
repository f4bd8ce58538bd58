// The image button's pictures, drawn for real and read back from the screen image.
#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

#include "gui/skin/CPngButton.h"

using brindle::CPngButton;

namespace {

// A full-window picture that holds `colour` only at the button's place (30, 20, 20, 10) and black
// elsewhere, so a button that cut from the wrong place shows black.
QPixmap Picture(const QColor& colour) {
    QPixmap p(100, 60);
    p.fill(Qt::black);
    QPainter(&p).fillRect(QRect(30, 20, 20, 10), colour);
    return p;
}

QColor Shown(CPngButton& b) {
    return b.grab().toImage().pixelColor(b.width() / 2, b.height() / 2);
}

} // namespace

class CPngButtonTest : public QObject {
    Q_OBJECT

private:
    QPixmap normal_ = Picture(Qt::gray);
    QPixmap hot_ = Picture(Qt::yellow);
    QPixmap pressed_ = Picture(Qt::blue);
    QPixmap disabled_ = Picture(Qt::darkGray);
    QPixmap selected_ = Picture(Qt::green);
    QPixmap off_ = Picture(Qt::darkRed);
    QPixmap on_ = Picture(Qt::red);

    void Prepare(CPngButton& b) {
        b.resize(20, 10);
        b.SetPictures(30, 20, &normal_, &hot_, &pressed_, &disabled_, &selected_, false);
    }

    static void Hover(CPngButton& b) {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), b.mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &move);
    }

private slots:
    void Paint_stateChoice_data() {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("custom");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("hot");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("shown");
        QTest::addRow("normal") << false << false << false << false << false << QColor(Qt::gray);
        QTest::addRow("selected") << false << false << false << false << true << QColor(Qt::green);
        QTest::addRow("hot over selected")
            << false << false << false << true << true << QColor(Qt::yellow);
        QTest::addRow("pressed over selected")
            << false << false << true << false << true << QColor(Qt::blue);
        QTest::addRow("disabled over selected")
            << true << false << false << false << true << QColor(Qt::darkGray);
        QTest::addRow("disabled over pressed and custom")
            << true << true << true << false << true << QColor(Qt::darkGray);
        QTest::addRow("custom over pressed")
            << false << true << true << false << false << QColor(Qt::red);
    }
    void Paint_stateChoice() {
        QFETCH(bool, disabled);
        QFETCH(bool, custom);
        QFETCH(bool, pressed);
        QFETCH(bool, hot);
        QFETCH(bool, selected);
        QFETCH(QColor, shown);
        CPngButton b;
        Prepare(b);
        b.SetCustomPictures(&off_, &on_, custom, true, false);
        b.SetSelected(selected, false);
        if (hot) {
            Hover(b);
            QVERIFY(b.IsHot());
        }
        b.setDown(pressed);
        b.setEnabled(!disabled);
        QCOMPARE(Shown(b), shown);
    }

    void SetCustomPictures_choosesOffOrOn() {
        CPngButton b;
        Prepare(b);
        b.SetCustomPictures(&off_, &on_, true, false, false);
        QCOMPARE(Shown(b), QColor(Qt::darkRed));
        b.SetCustomPictures(&off_, &on_, true, true, false);
        QCOMPARE(Shown(b), QColor(Qt::red));
        b.SetCustomPictures(&off_, &on_, false, true, false);
        QCOMPARE(Shown(b), QColor(Qt::gray));
    }

    void SetPictures_clearsHotAndPressed() {
        CPngButton b;
        Prepare(b);
        Hover(b);
        b.setDown(true);
        b.SetPictures(30, 20, &normal_, &hot_, &pressed_, &disabled_, &selected_, true);
        QVERIFY(!b.IsHot());
        QVERIFY(!b.isDown());
        QCOMPARE(Shown(b), QColor(Qt::gray));
    }

    void DoubleClick_actsAsTwoClicks() {
        CPngButton b;
        Prepare(b);
        int clicks = 0;
        QObject::connect(&b, &CPngButton::clicked, [&] { ++clicks; });
        // What the window system delivers for two fast clicks.
        const QEvent::Type sequence[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                         QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
        for (QEvent::Type type : sequence) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent e(type, QPointF(5, 5), b.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&b, &e);
        }
        QCOMPARE(clicks, 2);
    }

    void SetFrame_drawsTwoPixelFrameOverPicture() {
        CPngButton b;
        Prepare(b);
        b.SetFrame(Qt::magenta, true);
        QImage shown = b.grab().toImage();
        QCOMPARE(shown.pixelColor(1, 1), QColor(Qt::magenta));
        QCOMPARE(shown.pixelColor(2, 5), QColor(Qt::magenta));
        QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::gray));
        QCOMPARE(shown.pixelColor(10, 5), QColor(Qt::gray));
        b.SetFrame(Qt::magenta, false);
        QCOMPARE(b.grab().toImage().pixelColor(1, 1), QColor(Qt::gray));
    }

    void AfterPaint_toldWhetherNormalPictureWasDrawn() {
        CPngButton b;
        Prepare(b);
        QList<bool> calls;
        b.SetAfterPaint([&](CPngButton* button, bool normal) {
            QCOMPARE(button, &b);
            calls.append(normal);
        });
        b.grab();
        b.SetSelected(true, false);
        b.grab();
        QCOMPARE(calls, (QList<bool>{true, false}));
    }

    void SetText_captionInTheStateColour() {
        CPngButton b;
        b.resize(60, 24);
        QPixmap black(200, 100);
        black.fill(Qt::black);
        b.SetPictures(0, 0, &black, &black, &black, &black, &black, false);
        b.setText(QStringLiteral("WWW"));
        b.SetText(true, 12, QStringLiteral("DejaVu Sans"), Qt::white, Qt::yellow, Qt::cyan,
                  Qt::red);
        auto has = [&](const QColor& colour) {
            QImage img = b.grab().toImage();
            for (int y = 0; y < img.height(); ++y) {
                for (int x = 0; x < img.width(); ++x) {
                    if (img.pixelColor(x, y) == colour) {
                        return true;
                    }
                }
            }
            return false;
        };
        QVERIFY(has(Qt::white));
        b.setDown(true);
        QVERIFY(has(Qt::cyan));
        QVERIFY(!has(Qt::white));
        b.setEnabled(false);
        QVERIFY(has(Qt::red));
    }
};

QTEST_MAIN(CPngButtonTest)
#include "CPngButton_test.moc"
