#include "gui/widgets/CBitmapSlider.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace brindle {

CBitmapSlider::CBitmapSlider(int controlId, QWidget* parent)
    : QAbstractSlider(parent), controlId_(controlId) {
    setOrientation(Qt::Horizontal);
    setFocusPolicy(Qt::StrongFocus);
    setPageStep(1);
}

void CBitmapSlider::SetFace(const QPixmap& face) {
    face_ = face;
    update();
}

int CBitmapSlider::PositionAt(int x) const {
    const int span = maximum() - minimum();
    if (span <= 0 || width() <= 1) {
        return minimum();
    }
    const int clamped = std::clamp(x, 0, width() - 1);
    // Nearest position: each position owns the same share of the width around its tick.
    const double step = static_cast<double>(width() - 1) / span;
    return minimum() + static_cast<int>(clamped / step + 0.5);
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!face_.isNull()) {
        painter.drawPixmap(0, 0, face_);
    }
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = true;
    setValue(PositionAt(event->position().toPoint().x()));
    event->accept();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        setValue(PositionAt(event->position().toPoint().x()));
    }
    event->accept();
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setValue(PositionAt(event->position().toPoint().x()));
        Commit();
    }
    event->accept();
}

void CBitmapSlider::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        setValue(value() + steps);
        Commit();
    }
    event->accept();
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        setValue(value() - 1);
        Commit();
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        setValue(value() + 1);
        Commit();
        break;
    default:
        QAbstractSlider::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CBitmapSlider::Commit() {
    emit PositionCommitted(controlId_, value());
}

} // namespace brindle
