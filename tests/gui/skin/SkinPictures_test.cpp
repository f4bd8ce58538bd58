// Preparing full-window pictures and drawing through the off-screen surface.
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/skin/CMyMemDC.h"
#include "gui/skin/SkinPictures.h"

using namespace brindle;

class SkinPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void LoadSkinPicture_drawnUnscaledOnClientSizePlus100() {
        QTemporaryDir dir;
        QImage small(30, 20, QImage::Format_RGB32);
        small.fill(Qt::green);
        QVERIFY(small.save(dir.filePath("p.jpg"), "JPG", 100));
        bool loaded = false;
        QPixmap picture = LoadSkinPicture(dir.filePath("p.jpg"), QSize(50, 40), &loaded);
        QVERIFY(loaded);
        QCOMPARE(picture.size(), QSize(150, 140));
        QImage image = picture.toImage();
        QCOMPARE(image.pixelColor(29, 19).green() > 200, true);
        QCOMPARE(image.pixelColor(31, 21), QColor(Qt::black));
    }

    void LoadSkinPicture_missingFile_blackSurfaceAndReported() {
        bool loaded = true;
        QPixmap picture =
            LoadSkinPicture(QStringLiteral("/nonexistent/main_color1.jpg"), QSize(10, 10), &loaded);
        QVERIFY(!loaded);
        QCOMPARE(picture.size(), QSize(110, 110));
        QCOMPARE(picture.toImage().pixelColor(5, 5), QColor(Qt::black));
    }

    void MemDC_copiesBackToTargetAtItsArea() {
        QPixmap target(40, 40);
        target.fill(Qt::white);
        {
            QPainter painter(&target);
            CMyMemDC dc(&painter, QRect(10, 10, 20, 20), true);
            QCOMPARE(dc.Area(), QRect(10, 10, 20, 20));
            // Drawn in the target's coordinates; the part outside the area is dropped.
            dc.Painter().fillRect(QRect(0, 0, 20, 20), Qt::red);
            // Nothing reaches the target before the surface ends.
            QCOMPARE(target.toImage().pixelColor(15, 15), QColor(Qt::white));
        }
        QImage image = target.toImage();
        QCOMPARE(image.pixelColor(15, 15), QColor(Qt::red));
        QCOMPARE(image.pixelColor(25, 25), QColor(Qt::white)); // kept from the target
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white));   // outside the area
    }
};

QTEST_MAIN(SkinPicturesTest)
#include "SkinPictures_test.moc"
