#include "gui/widgets/CColorStatic.h"

#include <QPalette>

namespace brindle {

CColorStatic::CColorStatic(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextColor(QColor(228, 228, 228));
}

void CColorStatic::SetTextColor(const QColor& colour) {
    colour_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    setPalette(p);
}

void CColorStatic::SetTextFont(int pointSize, const QString& face) {
    QFont f = font();
    if (!face.isEmpty()) {
        f.setFamilies({face, f.family()});
    }
    if (pointSize > 0) {
        f.setPointSize(pointSize);
    }
    setFont(f);
}

} // namespace brindle
