// skingen: draws the default skin (every picture and layout file the windows load) into a folder.
//
//   skingen OUTPUT_FOLDER [VERSION]
//
// Runs at build time without a window. Everything comes from the skin model, so the layout files
// and the pictures always agree; the keyboard part is checked against the key button table.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QTextStream>
#include <cstdio>

#include "SkinModel.h"
#include "SkinPainter.h"
#include "core/keys/KeyTables.h"
#include "core/skin/SkinKeys.h"

using namespace skingen;

namespace {

QDir gOut;
bool gFailed = false;

void Save(const QImage& image, const QString& name) {
    const QString path = gOut.filePath(name);
    const bool jpeg = name.endsWith(QLatin1String(".jpg"));
    if (!image.save(path, jpeg ? "JPG" : "BMP", jpeg ? 96 : -1)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        gFailed = true;
    }
}

QString RectText(const QRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void WriteText(const QString& name, const QString& text) {
    QFile file(gOut.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file.fileName()));
        gFailed = true;
        return;
    }
    file.write(text.toUtf8());
}

void WriteLayout(const Window& w, const QString& main, const QString& mask, const QString& extra) {
    QString text;
    QTextStream out(&text);
    out << "; Default skin of Brindle, drawn by skingen at build time.\n";
    out << "[SCREEN]\nMain=" << main << "\nMask=" << mask << "\n" << extra << "\n[BUTTONINFO]\n";
    QSet<QString> seen;
    for (const Element& e : w.elements) {
        if (seen.contains(e.key.toUpper())) {
            std::fprintf(stderr, "skingen: %s: key %s twice\n", qPrintable(w.layoutFile),
                         qPrintable(e.key));
            gFailed = true;
        }
        seen.insert(e.key.toUpper());
        out << e.key << "=" << RectText(e.rect) << "\n";
    }
    out.flush();
    WriteText(w.layoutFile, text);
}

// Every key button of the keyboard view must have its place.
void CheckKeyboard(const Window& w) {
    QSet<QString> keys;
    for (const Element& e : w.elements) {
        keys.insert(e.key);
    }
    for (const brindle::KeyButton& b : brindle::kKeyButtonCodes) {
        const QString key =
            QString::fromStdString(brindle::KeyButtonSkinKey(brindle::KeyCodeToIndex(b.code)));
        if (!keys.contains(key)) {
            std::fprintf(stderr, "skingen: key button %u (code %03X) has no place (%s)\n",
                         b.controlId, b.code, qPrintable(key));
            gFailed = true;
        }
    }
    int keyCount = 0;
    for (const Element& e : w.elements) {
        if (e.kind == Kind::Key && e.key.startsWith(QLatin1String("KEY_0"))) {
            ++keyCount;
        }
    }
    if (keyCount != static_cast<int>(brindle::kKeyButtonCodes.size())) {
        std::fprintf(stderr, "skingen: %d keys drawn, %zu key buttons\n", keyCount,
                     brindle::kKeyButtonCodes.size());
        gFailed = true;
    }
}

void MainSkin(const QString& version) {
    const Window w = MainWindow(version);
    CheckKeyboard(w);
    Save(PaintWindow(w, Look::Normal), "main_normal.jpg");
    Save(PaintWindow(w, Look::Hot), "main_over.jpg");
    Save(PaintWindow(w, Look::Pressed), "main_down.jpg");
    Save(PaintWindow(w, Look::Alt), "main_disable.jpg");
    Save(PaintWindow(w, Look::ColourOff), "main_color0.jpg");
    Save(PaintWindow(w, Look::ColourOn), "main_color1.jpg");
    Save(PaintMask(w), "main_mask.bmp");
    Save(PaintArrows(), "Arrow.jpg");

    QString extra;
    QTextStream out(&extra);
    out << "Link=https://example.org/brindle\n";
    out.flush();
    WriteLayout(w, "main_normal.jpg", "main_mask.bmp", extra);

    // Arrow frame positions inside Arrow.jpg, and the lighting captions the panel shows before
    // the language texts arrive (Chinese in "Control_Name", English in "Control_Name1").
    QString more;
    QTextStream m(&more);
    const char* stems[] = {"UP_ARROW_LEFT", "DOWN_ARROW_LEFT", "UP_ARROW_RIGHT",
                           "DOWN_ARROW_RIGHT"};
    m << "\n[BUTTONINFO2]\n";
    for (int frame = 1; frame <= 2; ++frame) {
        for (int i = 0; i < 4; ++i) {
            m << QString::fromStdString(brindle::ArrowFrameSkinKey(stems[i], frame)) << "="
              << i * 12 << "," << (frame - 1) * 16 << ",12,16\n";
        }
    }
    m << "\n[Control_Name]\n";
    m << QString::fromUtf8("Usb=回报率\nDeng=灯光\nLight=亮度\nFX=方向\nSpeed=速度\n"
                           "Color=颜色\nJColor=基色\nDC=七彩\nTool=工具\n");
    m << "\n[Control_Name1]\n";
    m << "Usb=Report rate\nDeng=Lighting\nLight=Brightness\nFX=Direction\nSpeed=Speed\n"
         "Color=Colour\nJColor=Base colour\nDC=Colourful\nTool=Tool\n";
    m.flush();
    QFile file(gOut.filePath(w.layoutFile));
    if (file.open(QIODevice::Append)) {
        file.write(more.toUtf8());
    } else {
        gFailed = true;
    }
}

void DialogSkins() {
    const Window profile = ProfileWindow();
    Save(PaintWindow(profile, Look::Normal), "Profile_normal.jpg");
    Save(PaintWindow(profile, Look::Hot), "Profile_over.jpg");
    Save(PaintWindow(profile, Look::Pressed), "Profile_down.jpg");
    Save(PaintMask(profile), "Profile_mask.bmp");
    WriteLayout(profile, "Profile_normal.jpg", "Profile_mask.bmp", {});

    const Window update = UpdateWindow();
    Save(PaintWindow(update, Look::Normal), "update_normal.jpg");
    Save(PaintWindow(update, Look::Hot), "update_over.jpg");
    Save(PaintMask(update), "update_mask.bmp");
    WriteLayout(update, "update_normal.jpg", "update_mask.bmp", {});

    const Window composite = CompositeWindow();
    struct PageSet {
        const char* prefix;
        Page page;
        bool disable;
    };
    const PageSet sets[] = {{"key", Page::Key, false},
                            {"macro", Page::Macro, true},
                            {"macro2", Page::MacroOnly, true},
                            {"media", Page::Media, false},
                            {"function", Page::Function, false}};
    for (const PageSet& s : sets) {
        const QString prefix = QString::fromLatin1(s.prefix);
        Save(PaintWindow(composite, Look::Normal, s.page), prefix + "_normal.jpg");
        Save(PaintWindow(composite, Look::Hot, s.page), prefix + "_over.jpg");
        Save(PaintWindow(composite, Look::Pressed, s.page), prefix + "_down.jpg");
        if (s.disable) {
            Save(PaintWindow(composite, Look::Disabled, s.page), prefix + "_disable.jpg");
        }
    }
    Save(PaintMask(composite), "Composite_mask.bmp");
    WriteLayout(composite, "key_normal.jpg", "Composite_mask.bmp", {});
}

void LightingPictures() {
    Save(PaintSwitch(false), "dengup.bmp");
    Save(PaintSwitch(true), "dengdown.bmp");
    const struct {
        const char* off;
        const char* on;
        const char* glyph;
    } arrows[] = {{"leftup", "leftdown", "left"},     {"rightup", "rightdown", "right"},
                  {"upup", "updown", "up"},           {"downup", "downdown", "down"},
                  {"kuosan", "kuosandown", "spread"}, {"julong", "julongdown", "gather"}};
    for (const auto& a : arrows) {
        Save(PaintDirection(a.glyph, false), QString::fromLatin1(a.off) + ".bmp");
        Save(PaintDirection(a.glyph, true), QString::fromLatin1(a.on) + ".bmp");
    }
    const struct {
        const char* name;
        QColor colour;
    } hues[] = {{"hong", QColor(0xff, 0x3b, 0x3b)},
                {"huang", QColor(0xff, 0xd0, 0x2e)},
                {"lv", QColor(0x3c, 0xd8, 0x5a)},
                {"lan", QColor(0x2f, 0x8c, 0xff)}};
    for (const auto& h : hues) {
        Save(PaintHue(h.colour, false), QString::fromLatin1(h.name) + ".bmp");
        Save(PaintHue(h.colour, true), QString::fromLatin1(h.name) + "ok.bmp");
    }
    Save(PaintColourful(false), "sjsup.bmp");
    Save(PaintColourful(true), "sjsdown.bmp");
    Save(PaintTool(0, false), "user1up.bmp");
    Save(PaintTool(0, true), "user1down.bmp");
    Save(PaintTool(1, false), "user2up.bmp");
    Save(PaintTool(1, true), "user2down.bmp");
    for (int f = 0; f < 10; ++f) {
        Save(PaintBusyFrame(f), QStringLiteral("jdt%1.bmp").arg(f + 1));
    }
    // Brightness faces 0..5 for positions 0..5, speed faces 6..10 for positions 0..4.
    for (int pos = 0; pos <= 5; ++pos) {
        Save(PaintSliderFace(pos, 6), QStringLiteral("%1.bmp").arg(pos));
    }
    for (int pos = 0; pos <= 4; ++pos) {
        Save(PaintSliderFace(pos, 5), QStringLiteral("%1.bmp").arg(6 + pos));
    }
    // Spare faces the panel loads but never shows: more slider positions.
    for (int n = 11; n <= 25; ++n) {
        Save(PaintSliderFace((n - 11) % 5, 5), QStringLiteral("%1.bmp").arg(n));
    }
    const QColor swatches[] = {QColor(0xff, 0x3b, 0x3b), QColor(0xff, 0x8c, 0x1a),
                               QColor(0xff, 0xd0, 0x2e), QColor(0x3c, 0xd8, 0x5a),
                               QColor(0x1f, 0xd1, 0xd1), QColor(0x2f, 0x8c, 0xff),
                               QColor(0x9b, 0x5c, 0xff), QColor(0xff, 0xff, 0xff)};
    for (int c = 0; c < 8; ++c) {
        Save(PaintSwatch(swatches[c], QSize(20, 20)), QStringLiteral("Color%1.bmp").arg(c + 1));
    }
}

// The default set of user lighting modes, copied over a profile's set by "restore defaults".
// Key slots are row x 21 + column of the keyboard's 6 x 21 colour matrix.
void DefaultUserModes() {
    struct Mode {
        const char* name;
        QColor base;
        QColor paint;
        int pattern; // 0 plain base colour, 1 rainbow by column, 2 gradient by row, 3 WASD
    };
    const Mode modes[] = {
        {"Ember", QColor(0xff, 0x6a, 0x00), QColor(0xff, 0xd0, 0x2e), 0},
        {"Rainbow", QColor(0xff, 0xff, 0xff), QColor(0xff, 0x3b, 0x3b), 1},
        {"Ocean", QColor(0x00, 0x5f, 0xff), QColor(0x1f, 0xd1, 0xd1), 2},
        {"Gaming", QColor(0x30, 0x30, 0x40), QColor(0xff, 0x20, 0x20), 3},
        {"Forest", QColor(0x1e, 0xb0, 0x3a), QColor(0xb6, 0xff, 0x4a), 0},
        {"Ice", QColor(0xa8, 0xe6, 0xff), QColor(0xff, 0xff, 0xff), 0},
        {"Violet", QColor(0x8a, 0x3b, 0xff), QColor(0xff, 0x5c, 0xd6), 2},
        {"Sunset", QColor(0xff, 0x3b, 0x6a), QColor(0xff, 0xb3, 0x47), 2},
        {"White", QColor(0xff, 0xff, 0xff), QColor(0xf2, 0xa3, 0x3a), 0},
        {"Custom", QColor(0xff, 0x00, 0x00), QColor(0x00, 0x00, 0xff), 0},
    };
    auto rgb = [](const QColor& c) {
        return QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
    };
    QString text;
    QTextStream out(&text);
    out << "[PRESENTMODE]\nmode=0\n\n[MODENAME]\n";
    for (int n = 0; n < 10; ++n) {
        out << n << "=" << modes[n].name << "\n";
    }
    for (int n = 0; n < 10; ++n) {
        const Mode& m = modes[n];
        out << "\n[Mode" << n << "]\ntool=0\njcolor=" << rgb(m.base) << "\ncolor=" << rgb(m.paint)
            << "\n";
        for (int slot = 0; slot < 126; ++slot) {
            const int row = slot / 21;
            const int column = slot % 21;
            QColor c = m.base;
            int baseFlag = 1;
            if (m.pattern == 1) {
                c = QColor::fromHsv(column * 360 / 21, 255, 255);
                baseFlag = 0;
            } else if (m.pattern == 2) {
                const double t = row / 5.0;
                c = QColor::fromRgbF(m.base.redF() * (1 - t) + m.paint.redF() * t,
                                     m.base.greenF() * (1 - t) + m.paint.greenF() * t,
                                     m.base.blueF() * (1 - t) + m.paint.blueF() * t);
                baseFlag = 0;
            } else if (m.pattern == 3) {
                // W, A, S, D and the arrow keys in the paint colour.
                const bool hot = slot == 2 * 21 + 2 || (row == 3 && column >= 1 && column <= 3) ||
                                 slot == 4 * 21 + 15 || (row == 5 && column >= 14 && column <= 16);
                if (hot) {
                    c = m.paint;
                    baseFlag = 0;
                }
            }
            out << slot << "=" << c.red() << "," << c.green() << "," << c.blue() << "," << baseFlag
                << "\n";
        }
    }
    out.flush();
    WriteText("UserDengColor_3.userd", text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: skingen OUTPUT_FOLDER [VERSION]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString version = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("1.0");
    gOut = QDir(QString::fromLocal8Bit(argv[1]));
    if (!gOut.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "skingen: cannot create %s\n", argv[1]);
        return 1;
    }
    MainSkin(version);
    DialogSkins();
    LightingPictures();
    DefaultUserModes();
    return gFailed ? 1 : 0;
}
