#include "gui/skin/SkinPictures.h"

#include <QPainter>
#include <QVector>

#include "core/skin/MaskRegion.h"

namespace brindle {

QPixmap LoadSkinPicture(const QString& path, QSize clientSize, bool* loaded) {
    QPixmap surface(clientSize + QSize(100, 100));
    surface.fill(Qt::black);
    QImage image(path);
    if (loaded != nullptr) {
        *loaded = !image.isNull();
    }
    if (!image.isNull()) {
        QPainter painter(&surface);
        painter.drawImage(QPoint(0, 0), image);
    }
    return surface;
}

QPixmap LoadSkinBitmap(const QString& path) {
    return QPixmap(path);
}

QRegion MaskToRegion(const QImage& mask) {
    QImage rgb = mask.convertToFormat(QImage::Format_RGB32);
    PixelGrid grid;
    grid.pixels = reinterpret_cast<const std::uint32_t*>(rgb.constBits());
    grid.width = rgb.width();
    grid.height = rgb.height();
    grid.stride = static_cast<int>(rgb.bytesPerLine() / 4);
    std::vector<RegionRect> runs = BuildMaskRegion(grid);
    // The runs come row by row, left to right, without overlap: the banded order setRects needs.
    QVector<QRect> rects;
    rects.reserve(static_cast<qsizetype>(runs.size()));
    for (const RegionRect& r : runs) {
        rects.push_back(QRect(r.x, r.y, r.w, r.h));
    }
    QRegion region;
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
    return region;
}

} // namespace brindle
