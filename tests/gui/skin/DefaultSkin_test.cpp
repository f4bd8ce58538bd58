// The skin drawn at build time: every picture and layout key the windows load is there, fits its
// window and lines up with the controls that show it.
#include <QDir>
#include <QImage>
#include <QRect>
#include <QtTest>

#include "core/keys/KeyTables.h"
#include "core/platform/IniDocument.h"
#include "core/platform/Utf.h"
#include "core/skin/SkinKeys.h"
#include "core/skin/SkinLayout.h"
#include "gui/skin/SkinPictures.h"

using namespace brindle;

namespace {

QString SkinDir() {
    QByteArray env = qgetenv("BRINDLE_BIN_DIR");
    return (env.isEmpty() ? QStringLiteral(BRINDLE_BIN_DIR) : QString::fromLocal8Bit(env)) +
           QStringLiteral("/Skins/");
}

QStringList Split(const char* names) {
    return QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const char* kMainPictureButtons =
    "VELKAR_LINK FUNC_PROFILES FUNC_MACRO CONTROL_OK CONTROL_CANCEL CONTROL_HELP CONTROL_CLOSE "
    "CONTROL_MINIMIZE CONTROL_MENU CONTROL2_APPLY LOCK_CAPS LOCK_NUM LOCK_SCROLL LOCK_AB FLIP_0 "
    "FLIP_1 FLIP_2 VELKAR_VER FUNC_PROFILE1 FUNC_PROFILE2 FUNC_PROFILE3 FUNC_DEFAULT FUNC_SWITCH "
    "FUNC_REPORT1 FUNC_REPORT2 FUNC_REPORT3 FUNC_REPORT4 KEY_FN LEFT_ARROW RIGHT_ARROW";
const char* kMainControls =
    "COLOR_R COLOR_G COLOR_B CONTROL_UsbStatic CONTROL_RGBStatic CONTROL_DengStatic "
    "CONTROL_DengStaPic CONTROL_XGcombox CONTROL_JDTStatic CONTROL_LightStatic CONTROL_LightSlider "
    "CONTROL_SpeedStatic CONTROL_SpeedSlider CONTROL_BLFXStatic CONTROL_BLFXLStaPic "
    "CONTROL_BLFXRStaPic CONTROL_FYYSStatic CONTROL_FYYSButton CONTROL_FYSJSStaPic "
    "CONTROL_FYSJSStatic CONTROL_FYCFStatic CONTROL_FYdjcfStatic CONTROL_FYggcfStatc "
    "CONTROL_FYdjcfStaPic CONTROL_FYggcfStaPic CONTROL_HONGPIC CONTROL_HUANGPIC CONTROL_LVPIC "
    "CONTROL_LANPIC CONTROL_HXysStatic CONTROL_HXysButton CONTROL_HXsjsStatic CONTROL_HXsjsStaPic "
    "CONTROL_JTysStatic CONTROL_JTysButton CONTROL_USERysStatic CONTROL_USERysButton "
    "CONTROL_USERjsStatic CONTROL_USERjsButton CONTROL_USERgjStatic CONTROL_USERgjStaPic1 "
    "CONTROL_USERgjStaPic2 CONTROL_Color1 CONTROL_Color2 CONTROL_Color3 CONTROL_Color4 "
    "CONTROL_Color5 CONTROL_Color6 CONTROL_Color7 CONTROL_Color8 CONTROL_Network "
    "CONTROL_Facebook CONTROL_twitter CONTROL_TSysStatic CONTROL_TSysButton CONTROL_TSsjsStatic "
    "CONTROL_TSsjsStaPic CONTROL_CDysStatic CONTROL_CDysButton CONTROL_CDsjsStatic "
    "CONTROL_CDsjsStaPic CONTROL_umCombo CONTROL_BLFXStatic2 CONTROL_BLFXLStaPic2 "
    "CONTROL_BLFXRStaPic2 CONTROL_BLFXStatic3 CONTROL_BLFXLStaPic3 CONTROL_BLFXRStaPic3";

struct LayoutFile {
    const char* file;
    const char* keys;
    const char* pictures; // full-window pictures, the background's size
};

const LayoutFile kLayouts[] = {
    {"Main.ini", nullptr,
     "main_normal.jpg main_over.jpg main_down.jpg main_disable.jpg main_color0.jpg "
     "main_color1.jpg"},
    {"Profile.ini",
     "CONTROL_OK CONTROL_CANCEL FUNC_ADD FUNC_LOAD FUNC_DELETE CONTROL2_APPLY PROGRAM_LIST",
     "Profile_normal.jpg Profile_over.jpg Profile_down.jpg"},
    {"Composite.ini",
     "CONTROL_MASK CONTROL_TITLE CONTROL_OSK CONTROL_CLEAR CONTROL_MEDIA CONTROL_MACRO CONTROL_KEY "
     "CONTROL_FUNCTION CONTROL_OK CONTROL_CANCEL FUNC_MACRO_DELETE FUNC_MACRO_ADD "
     "FUNC_MACRO_UP_TOP FUNC_MACRO_UP FUNC_MACRO_DOWN FUNC_MACRO_DOWN_BOTTOM FUNC_MACRO_DELETE2 "
     "FUNC_MACRO_CLEAR FUNC_MACRO_RECORD FUNC_MACRO_RECORD_DELAY FUNC_MACRO_LIST2 "
     "FUNC_MACRO_CYCLES FUNC_MACRO_CYCLES_PROMPT TISHI_SINGLE_STATIC MARCO_NAME_SETTING "
     "KEY_SETTING MEDIA_SETTING_TISHI FUNCTION_KEY_SETTING_TISHI FUNC_MACRO_RECORD_DELAY2 "
     "FUNC_KEY_INPUT FUNC_MEDIA_SELECT FUNC_MACRO_LIST FUNC_FUNCTION_SELECT",
     "key_normal.jpg key_over.jpg key_down.jpg macro_normal.jpg macro_over.jpg macro_down.jpg "
     "macro_disable.jpg macro2_normal.jpg macro2_over.jpg macro2_down.jpg macro2_disable.jpg "
     "media_normal.jpg media_over.jpg media_down.jpg function_normal.jpg function_over.jpg "
     "function_down.jpg"},
    {"UpdateDlg.ini",
     "CONTROL_CUPButton CONTROL_UPButton CONTROL_OPENButton CONTROL_BACKUPButton "
     "CONTROL_UPStatic CONTROL_UPCombox",
     "update_normal.jpg update_over.jpg"},
};

QStringList MainKeys() {
    QStringList keys = Split(kMainPictureButtons) + Split(kMainControls);
    for (int n = 0; n < 9; ++n) {
        keys << QString::fromStdString(ExtraKeySkinKey(n));
    }
    for (const KeyButton& b : kKeyButtonCodes) {
        keys << QString::fromStdString(KeyButtonSkinKey(KeyCodeToIndex(b.code)));
    }
    return keys;
}

QRect ToQRect(const SkinRect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

} // namespace

class DefaultSkinTest : public QObject {
    Q_OBJECT

private slots:
    void Layout_everyKeyPresentAndInsideWindow_data() {
        QTest::addColumn<QString>("file");
        for (const LayoutFile& l : kLayouts) {
            QTest::newRow(l.file) << QString::fromLatin1(l.file);
        }
    }
    void Layout_everyKeyPresentAndInsideWindow() {
        QFETCH(QString, file);
        const LayoutFile* entry = nullptr;
        for (const LayoutFile& l : kLayouts) {
            if (file == QLatin1String(l.file)) {
                entry = &l;
            }
        }
        const std::string path = (SkinDir() + file).toStdString();
        std::optional<IniDocument> doc = IniDocument::LoadFile(path);
        QVERIFY2(doc.has_value(), path.c_str());
        SkinLayout layout = SkinLayout::Load(path);
        QImage background(SkinDir() + QString::fromStdString(layout.MainPicture()));
        QImage mask(SkinDir() + QString::fromStdString(layout.MaskPicture()));
        QVERIFY(!background.isNull());
        QCOMPARE(mask.size(), background.size());
        const QRect window(QPoint(0, 0), background.size());
        const QStringList keys = entry->keys ? Split(entry->keys) : MainKeys();
        for (const QString& key : keys) {
            QVERIFY2(doc->Find(u"BUTTONINFO", Utf8ToUtf16(key.toStdString())).has_value(),
                     qPrintable(file + ": " + key));
            QRect r = ToQRect(layout.Rect(key.toStdString()));
            QVERIFY2(!layout.Rect(key.toStdString()).IsParked() && window.contains(r),
                     qPrintable(file + ": " + key));
        }
        for (const QString& picture : Split(entry->pictures)) {
            QImage image(SkinDir() + picture);
            QVERIFY2(!image.isNull(), qPrintable(picture));
            QCOMPARE(image.size(), background.size());
        }
    }

    void MainLayout_keyButtonsDoNotOverlap() {
        SkinLayout layout = SkinLayout::Load((SkinDir() + "Main.ini").toStdString());
        QStringList keys;
        for (const QString& key : MainKeys()) {
            if (key.startsWith(QLatin1String("KEY_")) || key.startsWith(QLatin1String("FUNC_G"))) {
                keys << key;
            }
        }
        QCOMPARE(keys.size(), 105 + 9 + 1);
        for (int i = 0; i < keys.size(); ++i) {
            for (int j = i + 1; j < keys.size(); ++j) {
                QRect a = ToQRect(layout.Rect(keys[i].toStdString()));
                QRect b = ToQRect(layout.Rect(keys[j].toStdString()));
                QVERIFY2(!a.intersects(b), qPrintable(keys[i] + " / " + keys[j]));
            }
        }
    }

    void MainLayout_arrowFramesInsideArrowPicture() {
        SkinLayout layout = SkinLayout::Load((SkinDir() + "Main.ini").toStdString());
        QImage arrows(SkinDir() + "Arrow.jpg");
        QVERIFY(!arrows.isNull());
        const QSize arrowSize = ToQRect(layout.Rect("LEFT_ARROW")).size();
        QCOMPARE(ToQRect(layout.Rect("RIGHT_ARROW")).size(), arrowSize);
        for (const char* stem :
             {"UP_ARROW_LEFT", "DOWN_ARROW_LEFT", "UP_ARROW_RIGHT", "DOWN_ARROW_RIGHT"}) {
            SkinRect at = layout.Rect("BUTTONINFO2", ArrowFrameSkinKey(stem, 1));
            QVERIFY2(
                QRect(QPoint(0, 0), arrows.size()).contains(QRect(QPoint(at.x, at.y), arrowSize)),
                stem);
        }
    }

    // Pictures the lighting panel puts into its controls have the controls' size.
    void LightingPictures_fitTheirControls_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("pictures");
        QTest::newRow("switch") << "CONTROL_DengStaPic"
                                << "dengup dengdown";
        QTest::newRow("arrows") << "CONTROL_BLFXLStaPic"
                                << "leftup leftdown rightup rightdown upup updown downup downdown "
                                   "kuosan kuosandown julong julongdown";
        QTest::newRow("hues") << "CONTROL_HONGPIC"
                              << "hong hongok huang huangok lv lvok lan lanok";
        QTest::newRow("colourful") << "CONTROL_HXsjsStaPic"
                                   << "sjsup sjsdown";
        QTest::newRow("tools") << "CONTROL_USERgjStaPic1"
                               << "user1up user1down user2up user2down";
        QTest::newRow("busy") << "CONTROL_JDTStatic"
                              << "jdt1 jdt2 jdt3 jdt4 jdt5 jdt6 jdt7 jdt8 jdt9 jdt10";
        QTest::newRow("brightness") << "CONTROL_LightSlider"
                                    << "0 1 2 3 4 5";
        QTest::newRow("speed") << "CONTROL_SpeedSlider"
                               << "6 7 8 9 10";
    }
    void LightingPictures_fitTheirControls() {
        QFETCH(QString, control);
        QFETCH(QString, pictures);
        SkinLayout layout = SkinLayout::Load((SkinDir() + "Main.ini").toStdString());
        const QSize size = ToQRect(layout.Rect(control.toStdString())).size();
        for (const QString& name : pictures.split(QLatin1Char(' '))) {
            QImage image(SkinDir() + name + ".bmp");
            QVERIFY2(!image.isNull(), qPrintable(name));
            QCOMPARE(image.size(), size);
        }
    }

    void LightingPictures_sparesPresent() {
        for (int n = 11; n <= 25; ++n) {
            QVERIFY(!QImage(SkinDir() + QString::number(n) + ".bmp").isNull());
        }
        for (int n = 1; n <= 8; ++n) {
            QVERIFY(!QImage(SkinDir() + QStringLiteral("Color%1.bmp").arg(n)).isNull());
        }
    }

    void MainMask_roundedCornersCutCentreKept() {
        SkinLayout layout = SkinLayout::Load((SkinDir() + "Main.ini").toStdString());
        QImage mask(SkinDir() + QString::fromStdString(layout.MaskPicture()));
        QRegion shape = MaskToRegion(mask);
        QVERIFY(!shape.contains(QPoint(0, 0)));
        QVERIFY(!shape.contains(QPoint(mask.width() - 1, mask.height() - 1)));
        QVERIFY(shape.contains(QPoint(mask.width() / 2, mask.height() / 2)));
        QVERIFY(shape.contains(QPoint(mask.width() / 2, 0)));
        QVERIFY(shape.rectCount() < 100);
    }

    void DefaultUserModes_tenCompleteModes() {
        std::optional<IniDocument> doc =
            IniDocument::LoadFile((SkinDir() + "UserDengColor_3.userd").toStdString());
        QVERIFY(doc.has_value());
        const int current = doc->ReadInt(u"PRESENTMODE", u"mode", -1);
        QVERIFY(current >= 0 && current <= 9);
        for (int mode = 0; mode < 10; ++mode) {
            const std::u16string n = Utf8ToUtf16(std::to_string(mode));
            QVERIFY(!doc->ReadString(u"MODENAME", n, u"", 260).empty());
            const std::u16string section = u"Mode" + n;
            QVERIFY(doc->Find(section, u"tool").has_value());
            QCOMPARE(QString::fromStdU16String(doc->ReadString(section, u"jcolor", u"", 64))
                         .split(',')
                         .size(),
                     3);
            for (int slot = 0; slot < 126; ++slot) {
                std::u16string value =
                    doc->ReadString(section, Utf8ToUtf16(std::to_string(slot)), u"", 64);
                const QStringList parts = QString::fromStdU16String(value).split(',');
                QVERIFY2(parts.size() == 4,
                         qPrintable(QStringLiteral("Mode%1 %2").arg(mode).arg(slot)));
                for (const QString& part : parts) {
                    bool ok = false;
                    const int v = part.toInt(&ok);
                    QVERIFY(ok && v >= 0 && v <= 255);
                }
            }
        }
    }
};

QTEST_MAIN(DefaultSkinTest)
#include "DefaultSkin_test.moc"
