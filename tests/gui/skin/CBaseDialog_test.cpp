// The skinned dialog with a small skin written into a temporary folder.
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/skin/CBaseDialog.h"
#include "gui/skin/CPngButton.h"

using brindle::CBaseDialog;
using brindle::CPngButton;

class CBaseDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void WriteLayout(const QByteArray& text) {
        QFile f(Path("Test.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // 40 x 30 red background; mask black in (5, 5, 20, 10), white elsewhere.
    void WritePictures() {
        QImage background(40, 30, QImage::Format_RGB32);
        background.fill(Qt::red);
        QVERIFY(background.save(Path("back.bmp")));
        QImage mask(40, 30, QImage::Format_RGB32);
        mask.fill(Qt::white);
        QPainter(&mask).fillRect(QRect(5, 5, 20, 10), Qt::black);
        QVERIFY(mask.save(Path("mask.bmp")));
        QImage white(40, 30, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(white.save(Path("white.bmp")));
        QImage half(40, 30, QImage::Format_RGB32);
        half.fill(Qt::white);
        QPainter(&half).fillRect(QRect(20, 0, 20, 30), Qt::darkGreen);
        QVERIFY(half.save(Path("half.bmp")));
        QFile junk(Path("junk.bmp"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a picture");
    }

    const QByteArray kButtons = "[BUTTONINFO]\nCONTROL_OK=10,20,30,40,x\nPARKED=1,1,50,50\n"
                                "ONE_TWO=1,2,30,30\n[BUTTONINFO2]\nFRAME1=12,16,1,1\n";

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        WritePictures();
    }

    void LoadSkin_backgroundAndMask_sizedShapedAndHidden() {
        WriteLayout("[SCREEN]\nMain=back.bmp\nMask=mask.bmp\n");
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        dlg.SetShapeByTransparency(false);
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        QCOMPARE(dlg.size(), QSize(40, 30));
        QCOMPARE(dlg.Shape(), QRegion(5, 5, 20, 10));
        QCOMPARE(dlg.mask(), QRegion(5, 5, 20, 10));
        QVERIFY(dlg.isHidden());
    }

    void LoadSkin_allWhiteMask_windowShowsNothing() {
        WriteLayout("[SCREEN]\nMain=back.bmp\nMask=white.bmp\n");
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        dlg.SetShapeByTransparency(false);
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        QVERIFY(dlg.Shape().isEmpty());
        QVERIFY(!dlg.mask().isEmpty());
        QVERIFY(dlg.mask().intersected(dlg.rect()).isEmpty());
    }

    void LoadSkin_noMaskKey_backgroundIsItsOwnMask() {
        WriteLayout("[SCREEN]\nMain=half.bmp\n");
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        dlg.SetShapeByTransparency(false);
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        QCOMPARE(dlg.Shape(), QRegion(20, 0, 20, 30));
    }

    void LoadSkin_unreadablePicture_reported_data() {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("file");
        const int background = static_cast<int>(CBaseDialog::SkinResult::BackgroundMissing);
        const int mask = static_cast<int>(CBaseDialog::SkinResult::MaskMissing);
        QTest::addRow("no Main key")
            << QByteArray("[SCREEN]\nMask=mask.bmp\n") << background << QString();
        QTest::addRow("no layout file") << QByteArray() << background << QString();
        QTest::addRow("background missing")
            << QByteArray("[SCREEN]\nMain=gone.jpg\nMask=mask.bmp\n") << background << "gone.jpg";
        QTest::addRow("mask missing")
            << QByteArray("[SCREEN]\nMain=back.bmp\nMask=gone.bmp\n") << mask << "gone.bmp";
        QTest::addRow("mask not a picture")
            << QByteArray("[SCREEN]\nMain=back.bmp\nMask=junk.bmp\n") << mask << "junk.bmp";
    }
    void LoadSkin_unreadablePicture_reported() {
        QFETCH(QByteArray, layout);
        QFETCH(int, result);
        QFETCH(QString, file);
        QString layoutPath = Path("Test.ini");
        if (layout.isEmpty()) {
            layoutPath = Path("NoSuchLayout.ini");
        } else {
            WriteLayout(layout);
        }
        CBaseDialog dlg(102, nullptr, layoutPath, dir_.path());
        QCOMPARE(static_cast<int>(dlg.LoadSkin()), result);
        QVERIFY(dlg.Background().isNull());
        QVERIFY(dlg.SkinError().endsWith(file));
    }

    void Place_layoutRectangles_placeAndPark() {
        WriteLayout("[SCREEN]\nMain=back.bmp\n" + kButtons);
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        QPixmap picture(200, 200);
        CPngButton ok(&dlg), parked(&dlg), oneTwo(&dlg), missing(&dlg), arrow(&dlg);
        dlg.PlacePictureButton(&ok, "control_ok", &picture, &picture, &picture, &picture, &picture);
        QCOMPARE(ok.geometry(), QRect(10, 20, 30, 40));
        QCOMPARE(ok.SourcePosition(), QPoint(10, 20));
        QVERIFY(ok.isEnabled());
        dlg.PlacePictureButton(&parked, "PARKED", &picture, &picture, &picture, &picture, &picture);
        QVERIFY(!parked.isEnabled());
        QCOMPARE(parked.size(), QSize(50, 50));
        dlg.PlacePictureButton(&oneTwo, "ONE_TWO", &picture, &picture, &picture, &picture,
                               &picture);
        QVERIFY(oneTwo.isEnabled());
        dlg.PlacePictureButton(&missing, "NOT_THERE", &picture, &picture, &picture, &picture,
                               &picture);
        QCOMPARE(missing.geometry(), QRect(1, 1, 1, 1));
        QVERIFY(!missing.isEnabled());

        QWidget plain(&dlg);
        plain.resize(7, 8);
        dlg.PlaceAtPosition(&plain, "CONTROL_OK");
        QCOMPARE(plain.geometry(), QRect(10, 20, 7, 8));
        dlg.PlaceControl(&plain, "PARKED");
        QCOMPARE(plain.geometry(), QRect(1, 1, 50, 50));
        QVERIFY(plain.isEnabled());

        dlg.PlacePictureFrom(&arrow, "PARKED", "BUTTONINFO2", "FRAME1", &picture);
        QCOMPARE(arrow.geometry(), QRect(1, 1, 50, 50));
        QCOMPARE(arrow.SourcePosition(), QPoint(12, 16));
        QVERIFY(arrow.isEnabled());
    }

    void Drag_pressOnBackground_movesWindowWithMouse() {
        WriteLayout("[SCREEN]\nMain=back.bmp\n" + kButtons);
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        dlg.SetShapeByTransparency(false);
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        CPngButton ok(&dlg);
        ok.setGeometry(20, 10, 15, 15);
        dlg.move(100, 100);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto send = [&](QWidget* target, QEvent::Type type, QPoint local,
                        Qt::MouseButtons buttons) {
            QPoint global = target->mapToGlobal(local);
            QMouseEvent e(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(target, &e);
        };
        const QPoint start = dlg.pos();
        send(&dlg, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
        send(&dlg, QEvent::MouseMove, QPoint(32, 17), Qt::LeftButton);
        send(&dlg, QEvent::MouseButtonRelease, QPoint(32, 17), Qt::NoButton);
        QCOMPARE(dlg.pos(), start + QPoint(30, 15));
        // A press on a control is the control's: the window stays.
        const QPoint placed = dlg.pos();
        send(&ok, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
        send(&ok, QEvent::MouseMove, QPoint(12, 12), Qt::LeftButton);
        send(&ok, QEvent::MouseButtonRelease, QPoint(12, 12), Qt::NoButton);
        QCOMPARE(dlg.pos(), placed);
    }

    void Paint_shapeByTransparency_cutOutPartsTransparent() {
        WriteLayout("[SCREEN]\nMain=back.bmp\nMask=mask.bmp\n");
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        dlg.SetShapeByTransparency(true);
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        QVERIFY(dlg.mask().isEmpty());
        QImage image(dlg.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::blue);
        dlg.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(qAlpha(image.pixel(1, 1)), 0);
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::red));
    }

    void Accept_freesSkinPictures() {
        WriteLayout("[SCREEN]\nMain=back.bmp\n");
        CBaseDialog dlg(102, nullptr, Path("Test.ini"), dir_.path());
        QCOMPARE(dlg.LoadSkin(), CBaseDialog::SkinResult::Loaded);
        QVERIFY(!dlg.Background().isNull());
        dlg.accept();
        QVERIFY(dlg.Background().isNull());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(CBaseDialogTest)
#include "CBaseDialog_test.moc"
