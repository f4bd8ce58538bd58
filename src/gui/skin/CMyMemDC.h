// An off-screen drawing surface over a painter's target: draw into it, and when it ends it
// copies itself back to the target at the same place, so a complicated paint appears at once.
#pragma once

#include <QPainter>
#include <QPixmap>
#include <QRect>

namespace brindle {

class CMyMemDC {
public:
    // `area` in the target's coordinates; an empty area takes the target's clip box (or its whole
    // device when it has none). With `keepContent` the surface starts with what the target shows,
    // which only a pixmap target can give; otherwise it starts transparent. A printing target
    // gets the drawing directly.
    explicit CMyMemDC(QPainter* target, QRect area = {}, bool keepContent = false);
    ~CMyMemDC();

    CMyMemDC(const CMyMemDC&) = delete;
    CMyMemDC& operator=(const CMyMemDC&) = delete;

    // Paint here in the target's coordinates.
    QPainter& Painter() { return direct_ ? *target_ : painter_; }
    QRect Area() const { return area_; }

private:
    QPainter* target_;
    QRect area_;
    QPixmap surface_;
    QPainter painter_;
    bool direct_ = false;
};

} // namespace brindle
