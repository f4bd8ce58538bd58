#include "gui/widgets/CFlatButton.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace brindle {

CFlatButton::CFlatButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

CFlatButton::CFlatButton(const QString& text, QWidget* parent) : CFlatButton(parent) {
    setText(text);
}

void CFlatButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool hot = underMouse() && isEnabled();
    QColor fill = isDown() ? QColor(0x9a, 0x5c, 0x12)
                  : hot    ? QColor(0x3a, 0x3f, 0x49)
                           : QColor(0x2a, 0x2e, 0x36);
    QColor edge = hot || isDown() ? QColor(0xf2, 0xa3, 0x3a) : QColor(0x3c, 0x41, 0x4b);
    if (!isEnabled()) {
        fill = QColor(0x1e, 0x20, 0x25);
        edge = QColor(0x2a, 0x2d, 0x33);
    }
    p.setPen(edge);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.setPen(isEnabled() ? QColor(0xe8, 0xea, 0xed) : QColor(0x70, 0x76, 0x80));
    p.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace brindle
