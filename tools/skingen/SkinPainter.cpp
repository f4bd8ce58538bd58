#include "SkinPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

namespace {

const Palette kPal;
constexpr int kWindowRadius = 16;
const QString kFace = QStringLiteral("DejaVu Sans");

QFont Font(double pixels, bool bold = false) {
    QFont f(kFace);
    f.setPixelSize(static_cast<int>(std::lround(pixels)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void RoundRect(QPainter& p, const QRectF& r, double radius, const QBrush& fill, const QColor& edge,
               double edgeWidth = 1.0) {
    p.setPen(edge.alpha() == 0 ? QPen(Qt::NoPen) : QPen(edge, edgeWidth));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// Legends: one line centred, or two lines (shifted symbol above) left-aligned like printed caps.
void DrawLegend(QPainter& p, const QRectF& face, const QString& legend, const QColor& colour,
                bool small = false) {
    if (legend.isEmpty()) {
        return;
    }
    p.setPen(colour);
    const QStringList lines = legend.split(QLatin1Char('\n'));
    if (lines.size() == 2 && lines[0].size() <= 2 && lines[1].size() <= 2) {
        p.setFont(Font(11));
        QRectF inner = face.adjusted(7, 3, -5, -4);
        p.drawText(inner, Qt::AlignLeft | Qt::AlignTop, lines[0]);
        p.setFont(Font(13, true));
        p.drawText(inner, Qt::AlignLeft | Qt::AlignBottom, lines[1]);
        return;
    }
    const bool glyph = lines.size() == 1 && legend.size() <= 3;
    double size = 10.5;
    if (glyph) {
        size = small ? 11.5 : (legend.size() == 1 ? 14 : 12);
    } else if (legend.size() > 6) {
        size = 9.5;
    }
    p.setFont(Font(size, glyph));
    p.drawText(face.adjusted(2, 1, -2, -1), Qt::AlignCenter, legend);
}

void DrawKey(QPainter& p, const Element& e, Look look) {
    const bool small = e.kind == Kind::SmallKey;
    QRectF r = QRectF(e.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = small ? 4 : 5;
    // Body (the key's skirt) and the top face.
    QColor skirt = kPal.keyEdge;
    QColor top = kPal.keyTop;
    QColor bottom = kPal.keyBottom;
    QColor edge(0x3b, 0x40, 0x4a);
    QColor legend = kPal.legend;
    double sink = 0;
    switch (look) {
    case Look::Hot:
        top = kPal.hoverTop;
        bottom = kPal.hoverBottom;
        edge = kPal.accent;
        legend = Qt::white;
        break;
    case Look::Pressed:
        top = kPal.pressTop;
        bottom = kPal.pressBottom;
        edge = kPal.accent;
        legend = kPal.accent;
        sink = 1.5;
        break;
    case Look::Alt:
        edge = kPal.accentDeep;
        legend = kPal.accent;
        break;
    case Look::ColourOff:
        top = QColor(0x1e, 0x20, 0x25);
        bottom = QColor(0x1a, 0x1c, 0x20);
        edge = QColor(0x2a, 0x2d, 0x33);
        legend = kPal.legendDim;
        break;
    case Look::ColourOn:
        top = QColor(0xff, 0xc2, 0x6b);
        bottom = QColor(0xf0, 0x93, 0x25);
        edge = QColor(0xff, 0xd9, 0x9e);
        legend = QColor(0x2a, 0x1a, 0x05);
        break;
    case Look::Normal:
    case Look::Disabled:
        break;
    }
    RoundRect(p, r, radius, skirt, QColor(0, 0, 0, 0));
    QRectF face = r.adjusted(1.5, 1.5 + sink, -1.5, -3.5 + sink);
    if (look == Look::Pressed) {
        face = r.adjusted(1.5, 2.5, -1.5, -1.5);
    }
    RoundRect(p, face, radius - 1, Vertical(face, top, bottom), edge,
              look == Look::Normal || look == Look::ColourOff ? 1.0 : 1.4);
    if (look == Look::Normal || look == Look::Alt) {
        // A faint highlight along the top edge gives the cap some depth.
        p.setPen(QPen(QColor(255, 255, 255, 22), 1));
        p.drawLine(face.topLeft() + QPointF(radius, 1), face.topRight() + QPointF(-radius, 1));
    }
    if (look == Look::ColourOn) {
        QRadialGradient glow(face.center(), std::max(face.width(), face.height()) * 0.7);
        glow.setColorAt(0, QColor(255, 255, 255, 70));
        glow.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(face, radius - 1, radius - 1);
    }
    DrawLegend(p, face, e.legend, legend, small);
    if (look == Look::Alt) {
        // Assigned: an accent bar under the legend and a dot in the corner.
        p.setPen(Qt::NoPen);
        p.setBrush(kPal.accent);
        const double barWidth = std::min(18.0, face.width() - 12);
        if (!small && !e.legend.contains(QLatin1Char('\n'))) {
            p.drawRoundedRect(
                QRectF(face.center().x() - barWidth / 2, face.bottom() - 5, barWidth, 2.5), 1, 1);
        }
        p.drawEllipse(QPointF(face.right() - 5, face.top() + 5), 2.2, 2.2);
    }
}

void DrawPill(QPainter& p, const Element& e, Look look, bool toggle) {
    QRectF r = QRectF(e.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(8.0, r.height() / 2);
    QColor top(0x2e, 0x32, 0x3a), bottom(0x25, 0x28, 0x2f), edge(0x3c, 0x41, 0x4b);
    switch (look) {
    case Look::Hot:
        top = QColor(0x3a, 0x3f, 0x49);
        bottom = QColor(0x30, 0x34, 0x3d);
        edge = kPal.accent;
        break;
    case Look::Pressed:
        top = kPal.accentDeep;
        bottom = QColor(0x7e, 0x4a, 0x0e);
        edge = kPal.accent;
        break;
    case Look::Alt:
        if (toggle) {
            top = QColor(0x3a, 0x2c, 0x18);
            bottom = QColor(0x30, 0x24, 0x14);
            edge = kPal.accent;
        } else {
            top = QColor(0x1e, 0x20, 0x25);
            bottom = QColor(0x1b, 0x1d, 0x21);
            edge = QColor(0x2a, 0x2d, 0x33);
        }
        break;
    case Look::Disabled:
        top = QColor(0x1e, 0x20, 0x25);
        bottom = QColor(0x1b, 0x1d, 0x21);
        edge = QColor(0x2a, 0x2d, 0x33);
        break;
    default:
        break;
    }
    RoundRect(p, r, radius, Vertical(r, top, bottom), edge, look == Look::Normal ? 1.0 : 1.4);
    if (toggle && look == Look::Alt) {
        p.setPen(Qt::NoPen);
        p.setBrush(kPal.accent);
        p.drawRoundedRect(QRectF(r.left() + 12, r.bottom() - 4, r.width() - 24, 2.5), 1, 1);
    }
    if (!e.legend.isEmpty()) {
        QColor c = look == Look::Alt && toggle ? kPal.accent
                   : look == Look::Disabled    ? kPal.legendDim
                                               : kPal.legend;
        p.setPen(c);
        const QStringList lines = e.legend.split(QLatin1Char('\n'));
        if (lines.size() == 2) {
            p.setFont(Font(13, true));
            p.drawText(r.adjusted(0, 3, 0, -r.height() / 2 + 4), Qt::AlignHCenter | Qt::AlignBottom,
                       lines[0]);
            p.setFont(Font(9.5));
            p.setPen(look == Look::Alt && toggle ? kPal.accent : kPal.legendDim);
            p.drawText(r.adjusted(0, r.height() / 2 + 1, 0, -2), Qt::AlignHCenter | Qt::AlignTop,
                       lines[1]);
        } else {
            p.setFont(Font(12, true));
            p.drawText(r, Qt::AlignCenter, e.legend);
        }
    }
}

void DrawGlyph(QPainter& p, const QRectF& r, const QString& glyph, const QColor& colour) {
    QPen pen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF c = r.center();
    if (glyph == QLatin1String("close")) {
        p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
        p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
    } else if (glyph == QLatin1String("min")) {
        p.drawLine(c + QPointF(-5, 4), c + QPointF(5, 4));
    } else if (glyph == QLatin1String("menu")) {
        for (int i = -1; i <= 1; ++i) {
            p.drawLine(c + QPointF(-6, i * 4.5), c + QPointF(6, i * 4.5));
        }
    } else if (glyph == QLatin1String("plus") || glyph == QLatin1String("minus")) {
        p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
        if (glyph == QLatin1String("plus")) {
            p.drawLine(c + QPointF(0, -5), c + QPointF(0, 5));
        }
    } else if (glyph == QLatin1String("help")) {
        p.setFont(Font(15, true));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
    } else if (glyph == QLatin1String("osk") || glyph == QLatin1String("key")) {
        QRectF k(c.x() - 9, c.y() - 6, 18, 12);
        p.drawRoundedRect(k, 2, 2);
        p.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            p.drawPoint(QPointF(k.left() + 3.5 + i * 3.7, k.top() + 3.5));
        }
        p.drawLine(QPointF(k.left() + 5, k.bottom() - 3.5),
                   QPointF(k.right() - 5, k.bottom() - 3.5));
    } else if (glyph == QLatin1String("left") || glyph == QLatin1String("right")) {
        // Swap: two opposed half arrows.
        p.drawLine(c + QPointF(-5, -2.5), c + QPointF(5, -2.5));
        p.drawLine(c + QPointF(5, -2.5), c + QPointF(2, -5.5));
        p.drawLine(c + QPointF(5, 2.5), c + QPointF(-5, 2.5));
        p.drawLine(c + QPointF(-5, 2.5), c + QPointF(-2, 5.5));
    } else if (glyph == QLatin1String("web")) {
        p.drawEllipse(c, 6, 6);
        p.drawEllipse(c, 2.8, 6);
        p.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
    } else {
        p.setFont(Font(12, true));
        p.drawText(r, Qt::AlignCenter, glyph);
    }
}

void DrawIconButton(QPainter& p, const Element& e, Look look) {
    QRectF r = QRectF(e.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool round = e.kind == Kind::WebIcon || e.kind == Kind::FlipButton;
    QColor fill(0, 0, 0, 0), edge(0, 0, 0, 0), glyph(0xb8, 0xbd, 0xc6);
    if (e.kind == Kind::FlipButton) {
        fill = QColor(0x2a, 0x2e, 0x36);
        edge = QColor(0x3c, 0x41, 0x4b);
    }
    switch (look) {
    case Look::Hot:
        fill =
            e.glyph == QLatin1String("close") ? QColor(0xc8, 0x3c, 0x3c) : QColor(0x34, 0x38, 0x42);
        edge = e.glyph == QLatin1String("close") ? fill : kPal.accent;
        glyph = Qt::white;
        break;
    case Look::Pressed:
        fill = e.glyph == QLatin1String("close") ? QColor(0x9a, 0x2c, 0x2c) : kPal.accentDeep;
        edge = fill;
        glyph = Qt::white;
        break;
    case Look::Alt:
    case Look::Disabled:
        glyph = QColor(0x55, 0x5a, 0x63);
        break;
    default:
        break;
    }
    if (round) {
        p.setPen(edge.alpha() ? QPen(edge, 1.2) : QPen(Qt::NoPen));
        p.setBrush(fill);
        p.drawEllipse(r);
    } else {
        RoundRect(p, r, 6, fill, edge, 1.2);
    }
    DrawGlyph(p, r, e.glyph, glyph);
}

void DrawIndicator(QPainter& p, const Element& e, Look look) {
    QRectF r = QRectF(e.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    RoundRect(p, r, 5, QColor(0x1b, 0x1e, 0x23), QColor(0x2c, 0x30, 0x38));
    if (e.kind == Kind::Lock) {
        const bool lit = look == Look::Hot;
        QPointF led(r.left() + 10, r.center().y());
        if (lit) {
            QRadialGradient halo(led, 8);
            halo.setColorAt(0, QColor(0x6d, 0xf0, 0x9a, 160));
            halo.setColorAt(1, QColor(0x6d, 0xf0, 0x9a, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawEllipse(led, 8, 8);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? QColor(0x6d, 0xf0, 0x9a) : QColor(0x33, 0x38, 0x40));
        p.drawEllipse(led, 3.2, 3.2);
        p.setPen(lit ? kPal.legend : kPal.legendDim);
        p.setFont(Font(10));
        p.drawText(r.adjusted(18, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, e.legend);
        return;
    }
    if (e.kind == Kind::Bank) {
        // Bank A lit in the normal picture, bank B in the over picture.
        const bool bankB = look == Look::Hot;
        QRectF a(r.left() + 3, r.top() + 3, r.width() / 2 - 4, r.height() - 6);
        QRectF b(r.center().x() + 1, r.top() + 3, r.width() / 2 - 4, r.height() - 6);
        for (int i = 0; i < 2; ++i) {
            const bool on = (i == 1) == bankB;
            const QRectF& cell = i == 0 ? a : b;
            RoundRect(p, cell, 3, on ? kPal.accent : QColor(0x25, 0x28, 0x2e), QColor(0, 0, 0, 0));
            p.setPen(on ? QColor(0x2a, 0x1a, 0x05) : kPal.legendDim);
            p.setFont(Font(11, true));
            p.drawText(cell, Qt::AlignCenter, i == 0 ? QStringLiteral("A") : QStringLiteral("B"));
        }
        return;
    }
    // Flip plate: a label, accented when selected.
    const bool accent = look == Look::Alt;
    p.setPen(accent ? kPal.accent : kPal.legendDim);
    p.setFont(Font(10));
    p.drawText(r, Qt::AlignCenter, e.legend);
}

void DrawWell(QPainter& p, const QRect& rect) {
    QRectF r = QRectF(rect).adjusted(-1.5, -1.5, 1.5, 1.5);
    RoundRect(p, r, 5, kPal.well, QColor(0x2a, 0x2e, 0x36));
}

void DrawWordmark(QPainter& p, const QRectF& r, const QString& name, bool hot) {
    // An accent key cap and the name.
    QRectF cap(r.left(), r.top() + 4, 24, 24);
    RoundRect(p, cap, 6, Vertical(cap, QColor(0xff, 0xbe, 0x5c), kPal.accentDeep),
              QColor(0, 0, 0, 0));
    p.setPen(QColor(0x2a, 0x1a, 0x05));
    p.setFont(Font(14, true));
    p.drawText(cap, Qt::AlignCenter, QStringLiteral("B"));
    QFont f = Font(17, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(f);
    p.setPen(hot ? Qt::white : kPal.legend);
    p.drawText(r.adjusted(32, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, name);
}

void DrawBackground(QPainter& p, const Window& w) {
    QRectF all(0.5, 0.5, w.size.width() - 1, w.size.height() - 1);
    RoundRect(p, all, kWindowRadius, Vertical(all, kPal.windowTop, kPal.windowBottom), kPal.border);
    // Title bar separator.
    p.setPen(QPen(QColor(0x26, 0x2a, 0x31), 1));
    p.drawLine(QPointF(16, 49.5), QPointF(w.size.width() - 16, 49.5));
    // A thin accent line under the title bar's left end.
    QLinearGradient accent(QPointF(16, 0), QPointF(260, 0));
    accent.setColorAt(0, kPal.accent);
    accent.setColorAt(1, QColor(kPal.accent.red(), kPal.accent.green(), kPal.accent.blue(), 0));
    p.setPen(QPen(QBrush(accent), 2));
    p.drawLine(QPointF(16, 49), QPointF(260, 49));
    if (w.brand) {
        DrawWordmark(p, QRectF(20, 10, 150, 32), QStringLiteral("BRINDLE"), false);
    }
    if (!w.keyboardCase.isEmpty()) {
        QRectF c = QRectF(w.keyboardCase).adjusted(0.5, 0.5, -0.5, -0.5);
        // A soft drop shadow, then the case with a brushed top edge.
        for (int i = 4; i > 0; --i) {
            RoundRect(p, c.adjusted(-i, -i + 2, i, i + 2), 14 + i, QColor(0, 0, 0, 18),
                      QColor(0, 0, 0, 0));
        }
        RoundRect(p, c, 14, Vertical(c, QColor(0x1d, 0x20, 0x26), kPal.caseFill), kPal.caseBorder);
        p.setPen(QPen(QColor(255, 255, 255, 16), 1));
        p.drawLine(c.topLeft() + QPointF(14, 1), c.topRight() + QPointF(-14, 1));
        // A recessed plate under the keys.
        QRectF plate = c.adjusted(12, 40, -12, -12);
        RoundRect(p, plate, 8, QColor(0x11, 0x13, 0x16), QColor(0x0b, 0x0c, 0x0e));
    }
    for (const QRect& card : w.cards) {
        QRectF c = QRectF(card).adjusted(0.5, 0.5, -0.5, -0.5);
        RoundRect(p, c, 10, Vertical(c, QColor(0x1a, 0x1d, 0x22), kPal.card), kPal.cardBorder);
    }
}

void DrawPage(QPainter& p, const Window& w, Page page) {
    if (page == Page::None) {
        return;
    }
    QRectF panel(20.5, 100.5, 519, 255);
    RoundRect(p, panel, 10, Vertical(panel, QColor(0x1a, 0x1d, 0x22), kPal.card), kPal.cardBorder);
    // The page's own controls sit in wells; the others are not drawn.
    auto onPage = [&](const QString& key) {
        static const QStringList single = {"FUNC_KEY_INPUT"};
        static const QStringList media = {"FUNC_MEDIA_SELECT"};
        static const QStringList function = {"FUNC_FUNCTION_SELECT"};
        static const QStringList macro = {"FUNC_MACRO_LIST", "FUNC_MACRO_LIST2",
                                          "FUNC_MACRO_CYCLES"};
        switch (page) {
        case Page::Key:
            return single.contains(key);
        case Page::Media:
            return media.contains(key);
        case Page::Function:
            return function.contains(key);
        case Page::Macro:
        case Page::MacroOnly:
            return macro.contains(key);
        case Page::None:
            break;
        }
        return false;
    };
    for (const Element& e : w.elements) {
        if (e.kind == Kind::Well && onPage(e.key)) {
            DrawWell(p, e.rect);
        }
    }
}

} // namespace

QImage PaintWindow(const Window& w, Look look, Page page) {
    QImage image(w.size, QImage::Format_RGB32);
    image.fill(kPal.windowBottom);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawBackground(p, w);
    DrawPage(p, w, page);
    const bool colourLook = look == Look::ColourOff || look == Look::ColourOn;
    for (const Element& e : w.elements) {
        // The composite dialog's page controls appear only in their own page's pictures.
        const bool macroControl = e.key.startsWith(QLatin1String("FUNC_MACRO_"));
        if (page != Page::None && macroControl && page != Page::Macro && page != Page::MacroOnly) {
            continue;
        }
        // Colour-key pictures only differ on keys; everything else is drawn normal.
        Look l = look;
        if (colourLook && e.kind != Kind::Key && e.kind != Kind::SmallKey) {
            l = Look::Normal;
        }
        if (page == Page::MacroOnly && (look == Look::Normal) &&
            (e.key == QLatin1String("CONTROL_KEY") || e.key == QLatin1String("CONTROL_MEDIA") ||
             e.key == QLatin1String("CONTROL_FUNCTION") ||
             e.key == QLatin1String("CONTROL_CLEAR"))) {
            l = Look::Disabled;
        }
        switch (e.kind) {
        case Kind::Key:
        case Kind::SmallKey:
            DrawKey(p, e, l == Look::Disabled ? Look::Normal : l);
            break;
        case Kind::TextButton:
            DrawPill(p, e, l, false);
            break;
        case Kind::ToggleButton:
        case Kind::RateButton:
            DrawPill(p, e, l, true);
            break;
        case Kind::WindowIcon:
        case Kind::WebIcon:
        case Kind::FlipButton:
            DrawIconButton(p, e, l);
            break;
        case Kind::Lock:
        case Kind::Bank:
        case Kind::FlipPlate:
            DrawIndicator(p, e, l);
            break;
        case Kind::Logo: {
            QRectF r(e.rect);
            if (e.legend.isEmpty()) {
                DrawGlyph(p, r, e.glyph, kPal.accent);
                break;
            }
            DrawWordmark(p, r, e.legend, l == Look::Hot);
            break;
        }
        case Kind::Version:
            p.setPen(kPal.legendDim);
            p.setFont(Font(10));
            p.drawText(QRectF(e.rect), Qt::AlignVCenter | Qt::AlignLeft, e.legend);
            break;
        case Kind::Well:
            if (page == Page::None) {
                DrawWell(p, e.rect);
            }
            break;
        case Kind::Arrow:
        case Kind::Plain:
            break;
        }
    }
    return image;
}

QImage PaintMask(const Window& w) {
    QImage image(w.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    // No antialiasing: a pixel is either in the window or cut out.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRect(QPoint(0, 0), w.size), kWindowRadius, kWindowRadius);
    return image;
}

QImage PaintArrows() {
    QImage image(48, 32, QImage::Format_RGB32);
    // The colour of the keyboard case where the arrows sit, so their frames blend in.
    image.fill(QColor(0x1c, 0x1f, 0x25));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 4; ++i) {
            const bool up = i % 2 == 0;
            QRectF cell(i * 12, row * 16, 12, 16);
            QPointF c = cell.center();
            QPainterPath path;
            if (up) {
                path.moveTo(c + QPointF(-4.5, 2.5));
                path.lineTo(c + QPointF(0, -2.5));
                path.lineTo(c + QPointF(4.5, 2.5));
            } else {
                path.moveTo(c + QPointF(-4.5, -2.5));
                path.lineTo(c + QPointF(0, 2.5));
                path.lineTo(c + QPointF(4.5, -2.5));
            }
            p.setPen(QPen(row == 0 ? kPal.accent : kPal.legend, 2, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        }
    }
    return image;
}

namespace {

QImage Tile(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPal.card);
    return image;
}

} // namespace

QImage PaintSwitch(bool on) {
    QImage image = Tile(QSize(64, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF track(4.5, 5.5, 55, 17);
    RoundRect(p, track, 8.5, on ? kPal.accent : QColor(0x2b, 0x2f, 0x37),
              on ? kPal.accent : QColor(0x3c, 0x41, 0x4b));
    QPointF knob(on ? track.right() - 8.5 : track.left() + 8.5, track.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(knob + QPointF(0, 1), 7.5, 7.5);
    p.setBrush(on ? QColor(0xff, 0xf6, 0xe8) : QColor(0x9a, 0x9f, 0xa8));
    p.drawEllipse(knob, 7, 7);
    return image;
}

QImage PaintDirection(const QString& glyph, bool selected) {
    QImage image = Tile(QSize(40, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r(0.5, 0.5, 39, 27);
    RoundRect(p, r, 6, selected ? QColor(0x3a, 0x2c, 0x18) : QColor(0x25, 0x28, 0x2f),
              selected ? kPal.accent : QColor(0x3c, 0x41, 0x4b), 1.2);
    QPen pen(selected ? kPal.accent : kPal.legendDim, 2, Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    p.setPen(pen);
    const QPointF c = r.center();
    auto chevron = [&](QPointF at, double angle) {
        p.save();
        p.translate(at);
        p.rotate(angle);
        p.drawLine(QPointF(-3, -5), QPointF(3, 0));
        p.drawLine(QPointF(3, 0), QPointF(-3, 5));
        p.restore();
    };
    if (glyph == QLatin1String("left")) {
        chevron(c + QPointF(-3, 0), 180);
        chevron(c + QPointF(4, 0), 180);
    } else if (glyph == QLatin1String("right")) {
        chevron(c + QPointF(-4, 0), 0);
        chevron(c + QPointF(3, 0), 0);
    } else if (glyph == QLatin1String("up")) {
        chevron(c + QPointF(0, 3), -90);
        chevron(c + QPointF(0, -3), -90);
    } else if (glyph == QLatin1String("down")) {
        chevron(c + QPointF(0, -3), 90);
        chevron(c + QPointF(0, 3), 90);
    } else if (glyph == QLatin1String("spread")) {
        chevron(c + QPointF(-7, 0), 180);
        chevron(c + QPointF(7, 0), 0);
    } else { // gather
        chevron(c + QPointF(-6, 0), 0);
        chevron(c + QPointF(6, 0), 180);
    }
    return image;
}

QImage PaintHue(const QColor& colour, bool selected) {
    QImage image = Tile(QSize(48, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r(0.5, 0.5, 47, 27);
    RoundRect(p, r, 6, QColor(0x25, 0x28, 0x2f), selected ? Qt::white : QColor(0x3c, 0x41, 0x4b),
              selected ? 1.6 : 1.0);
    QRectF swatch = r.adjusted(5, 5, -5, -5);
    RoundRect(p, swatch, 4, colour, QColor(0, 0, 0, 0));
    if (selected) {
        p.setPen(QPen(QColor(0x10, 0x10, 0x10), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPointF c = swatch.center();
        p.drawLine(c + QPointF(-5, 0), c + QPointF(-1.5, 3.5));
        p.drawLine(c + QPointF(-1.5, 3.5), c + QPointF(5, -3.5));
    }
    return image;
}

QImage PaintColourful(bool on) {
    QImage image = Tile(QSize(52, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r(0.5, 0.5, 51, 27);
    RoundRect(p, r, 6, QColor(0x25, 0x28, 0x2f), on ? Qt::white : QColor(0x3c, 0x41, 0x4b),
              on ? 1.6 : 1.0);
    QRectF band = r.adjusted(6, 8, -6, -8);
    QLinearGradient g(band.topLeft(), band.topRight());
    const QColor stops[] = {QColor(0xff, 0x45, 0x45), QColor(0xff, 0xc1, 0x3b),
                            QColor(0x5c, 0xe0, 0x6a), QColor(0x3b, 0xa8, 0xff),
                            QColor(0xb0, 0x5c, 0xff)};
    for (int i = 0; i < 5; ++i) {
        QColor c = stops[i];
        if (!on) {
            int grey = qGray(c.rgb()) / 2 + 20;
            c = QColor(grey, grey, grey);
        }
        g.setColorAt(i / 4.0, c);
    }
    RoundRect(p, band, 5, g, QColor(0, 0, 0, 0));
    return image;
}

QImage PaintTool(int tool, bool selected) {
    QImage image = Tile(QSize(40, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r(0.5, 0.5, 39, 27);
    RoundRect(p, r, 6, selected ? QColor(0x3a, 0x2c, 0x18) : QColor(0x25, 0x28, 0x2f),
              selected ? kPal.accent : QColor(0x3c, 0x41, 0x4b), 1.2);
    QColor ink = selected ? kPal.accent : kPal.legendDim;
    p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c = r.center();
    if (tool == 0) {
        // Brush: a handle and a tip.
        p.drawLine(c + QPointF(6, -7), c + QPointF(-1, 1));
        p.setBrush(ink);
        p.drawEllipse(c + QPointF(-3.5, 3.5), 3, 3);
    } else {
        // Base colour: a drop.
        QPainterPath drop;
        drop.moveTo(c + QPointF(0, -8));
        drop.cubicTo(c + QPointF(6, -1), c + QPointF(6, 7), c + QPointF(0, 7));
        drop.cubicTo(c + QPointF(-6, 7), c + QPointF(-6, -1), c + QPointF(0, -8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(drop);
    }
    return image;
}

QImage PaintBusyFrame(int frame) {
    QImage image = Tile(QSize(256, 12));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF track(0.5, 2.5, 255, 7);
    RoundRect(p, track, 3.5, QColor(0x22, 0x25, 0x2b), QColor(0x2c, 0x30, 0x38));
    // A bright segment sweeps once across in ten frames.
    const double width = 72;
    const double x = -width + (256 + width) * frame / 10.0 + width / 2;
    QLinearGradient g(QPointF(x - width / 2, 0), QPointF(x + width / 2, 0));
    g.setColorAt(0, QColor(kPal.accent.red(), kPal.accent.green(), kPal.accent.blue(), 0));
    g.setColorAt(0.5, kPal.accent);
    g.setColorAt(1, QColor(kPal.accent.red(), kPal.accent.green(), kPal.accent.blue(), 0));
    p.setClipRect(track.adjusted(1, 1, -1, -1));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(x - width / 2, 3.5, width, 5), 2.5, 2.5);
    return image;
}

QImage PaintSliderFace(int position, int positions) {
    QImage image = Tile(QSize(264, 24));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double left = 10;
    const double right = 254;
    const double y = 12;
    const double knobX = positions > 1 ? left + (right - left) * position / (positions - 1) : left;
    RoundRect(p, QRectF(left, y - 2.5, right - left, 5), 2.5, QColor(0x2b, 0x2f, 0x37),
              QColor(0, 0, 0, 0));
    RoundRect(p, QRectF(left, y - 2.5, knobX - left, 5), 2.5, kPal.accent, QColor(0, 0, 0, 0));
    // Ticks at every position.
    for (int i = 0; i < positions; ++i) {
        double x = left + (right - left) * i / std::max(1, positions - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(i <= position ? QColor(0xff, 0xe0, 0xb0) : QColor(0x4a, 0x4f, 0x59));
        p.drawEllipse(QPointF(x, y), 1.6, 1.6);
    }
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QPointF(knobX, y + 1), 8, 8);
    p.setBrush(QColor(0xf4, 0xf5, 0xf7));
    p.setPen(QPen(kPal.accent, 2));
    p.drawEllipse(QPointF(knobX, y), 7, 7);
    return image;
}

QImage PaintSwatch(const QColor& colour, QSize size) {
    QImage image = Tile(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    RoundRect(p, QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, colour,
              QColor(0x3c, 0x41, 0x4b));
    return image;
}

} // namespace skingen
