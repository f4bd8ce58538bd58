// The small widgets the skinned windows are built from.
#include <QSignalSpy>
#include <QtTest>

#include "gui/widgets/CBitmapSlider.h"
#include "gui/widgets/CHyperLink.h"
#include "gui/widgets/CPictureStatic.h"
#include "gui/widgets/CSkinColorBtn.h"

using namespace brindle;

class WidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void BitmapSlider_dragCommitsOnceOnRelease() {
        CBitmapSlider slider(1178);
        slider.setRange(0, 5);
        slider.resize(251, 24);
        QSignalSpy spy(&slider, &CBitmapSlider::PositionCommitted);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(0, 12));
        QMouseEvent move(QEvent::MouseMove, QPointF(100, 12), slider.mapToGlobal(QPointF(100, 12)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&slider, &move);
        QCOMPARE(slider.value(), 2);
        QCOMPARE(spy.count(), 0);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(250, 12));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1178);
        QCOMPARE(spy.at(0).at(1).toInt(), 5);
    }

    void BitmapSlider_keysAndWheelCommitClampedPosition() {
        CBitmapSlider slider(1179);
        slider.setRange(0, 4);
        slider.resize(100, 24);
        QSignalSpy spy(&slider, &CBitmapSlider::PositionCommitted);
        QTest::keyClick(&slider, Qt::Key_Right);
        QTest::keyClick(&slider, Qt::Key_Left);
        QTest::keyClick(&slider, Qt::Key_Left);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(2).at(1).toInt(), 0);
        QWheelEvent wheel(QPointF(5, 5), slider.mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&slider, &wheel);
        QCOMPARE(spy.last().at(1).toInt(), 2);
    }

    void HyperLink_clickOpensAddressThroughOpener() {
        CHyperLink link;
        link.resize(100, 20);
        QStringList opened;
        link.SetOpener([&](const QString& address) { opened << address; });
        link.SetLink(QStringLiteral("Home page"), QStringLiteral("https://example.org/"));
        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(opened, QStringList{QStringLiteral("https://example.org/")});
        // Let go outside the link: nothing opens.
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(opened.size(), 1);
    }

    void SkinColorBtn_pickedColourReportedCancelKeepsOld() {
        CSkinColorBtn button(1152);
        button.resize(80, 28);
        button.SetAutomaticColor(Qt::white);
        QCOMPARE(button.Color(), QColor(Qt::white));
        QVERIFY(!button.PickedColor().isValid());
        std::optional<QColor> answer = QColor(Qt::green);
        button.SetChooser([&](const QColor&, QWidget*) { return answer; });
        QSignalSpy spy(&button, &CSkinColorBtn::ColorChanged);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1152);
        QCOMPARE(button.Color(), QColor(Qt::green));
        answer.reset();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(button.Color(), QColor(Qt::green));
    }

    void PictureStatic_clickReportsIdOnlyWhenEnabled() {
        CPictureStatic picture(1167);
        picture.resize(64, 28);
        QSignalSpy spy(&picture, &CPictureStatic::Clicked);
        QTest::mouseClick(&picture, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1167);
        picture.setEnabled(false);
        QTest::mouseClick(&picture, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(WidgetsTest)
#include "Widgets_test.moc"
