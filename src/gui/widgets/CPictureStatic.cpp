#include "gui/widgets/CPictureStatic.h"

#include <QMouseEvent>

namespace brindle {

CPictureStatic::CPictureStatic(int controlId, QWidget* parent)
    : QLabel(parent), controlId_(controlId) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void CPictureStatic::SetPicture(const QPixmap& picture) {
    setPixmap(picture);
}

void CPictureStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() &&
        rect().contains(event->position().toPoint())) {
        emit Clicked(controlId_);
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace brindle
