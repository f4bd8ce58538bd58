#include "gui/skin/CMyMemDC.h"

#include <QPaintDevice>

namespace brindle {

CMyMemDC::CMyMemDC(QPainter* target, QRect area, bool keepContent) : target_(target) {
    QPaintDevice* device = target_->device();
    if (area.isEmpty()) {
        area = target_->hasClipping() ? target_->clipBoundingRect().toAlignedRect()
                                      : QRect(0, 0, device->width(), device->height());
    }
    area_ = area;
    if (device->devType() == QInternal::Printer || area_.isEmpty()) {
        direct_ = true;
        return;
    }
    surface_ = QPixmap(area_.size());
    surface_.fill(Qt::transparent);
    painter_.begin(&surface_);
    if (keepContent && device->devType() == QInternal::Pixmap) {
        painter_.drawPixmap(QPoint(0, 0), *static_cast<QPixmap*>(device), area_);
    }
    painter_.translate(-area_.topLeft());
}

CMyMemDC::~CMyMemDC() {
    if (direct_) {
        return;
    }
    painter_.end();
    target_->drawPixmap(area_.topLeft(), surface_);
}

} // namespace brindle
