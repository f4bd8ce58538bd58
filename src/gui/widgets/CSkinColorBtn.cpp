#include "gui/widgets/CSkinColorBtn.h"

#include <QColorDialog>
#include <QPainter>

namespace brindle {

CSkinColorBtn::CSkinColorBtn(int controlId, QWidget* parent)
    : QAbstractButton(parent), controlId_(controlId) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    chooser_ = [this](const QColor& current, QWidget* owner) -> std::optional<QColor> {
        if (!otherEnabled_) {
            return automatic_;
        }
        QColor c = QColorDialog::getColor(current, owner);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };
    connect(this, &QAbstractButton::clicked, this, &CSkinColorBtn::Choose);
}

void CSkinColorBtn::SetColor(const QColor& colour) {
    colour_ = colour;
    picked_ = colour.isValid();
    update();
}

void CSkinColorBtn::SetChooser(Chooser chooser) {
    chooser_ = std::move(chooser);
}

void CSkinColorBtn::Choose() {
    if (!chooser_) {
        return;
    }
    std::optional<QColor> chosen = chooser_(Color(), window());
    if (!chosen || !chosen->isValid()) {
        return;
    }
    SetColor(*chosen);
    emit ColorChanged(controlId_, *chosen);
}

void CSkinColorBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool hot = underMouse() && isEnabled();
    QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(hot ? QColor(0xf2, 0xa3, 0x3a) : QColor(0x3c, 0x41, 0x4b));
    p.setBrush(QColor(0x25, 0x28, 0x2f));
    p.drawRoundedRect(r, 6, 6);
    QRectF swatch = r.adjusted(5, 5, -20, -5);
    p.setPen(QColor(0, 0, 0, 90));
    p.setBrush(Color());
    p.drawRoundedRect(swatch, 3, 3);
    // Drop-down mark.
    QPointF c(r.right() - 10, r.center().y());
    p.setPen(QPen(QColor(0xb8, 0xbd, 0xc6), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(c + QPointF(-3.5, -1.5), c + QPointF(0, 2));
    p.drawLine(c + QPointF(0, 2), c + QPointF(3.5, -1.5));
}

} // namespace brindle
