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
    // The runs come row by row, left to right, without overlap. Rows whose runs match the row
    // above extend its rectangles downwards, so a plain shape needs only a few rectangles; the
    // result keeps the banded order setRects needs.
    QVector<QRect> rects;
    rects.reserve(static_cast<qsizetype>(runs.size()));
    qsizetype bandStart = 0; // first rectangle of the band the previous row belongs to
    std::size_t i = 0;
    while (i < runs.size()) {
        std::size_t rowEnd = i;
        while (rowEnd < runs.size() && runs[rowEnd].y == runs[i].y) {
            ++rowEnd;
        }
        const qsizetype bandSize = rects.size() - bandStart;
        bool extends = bandSize == static_cast<qsizetype>(rowEnd - i) && bandSize > 0 &&
                       rects[bandStart].bottom() + 1 == runs[i].y;
        for (std::size_t k = 0; extends && k < rowEnd - i; ++k) {
            const QRect& above = rects[bandStart + static_cast<qsizetype>(k)];
            extends = above.x() == runs[i + k].x && above.width() == runs[i + k].w;
        }
        if (extends) {
            for (qsizetype k = bandStart; k < rects.size(); ++k) {
                rects[k].setBottom(runs[i].y);
            }
        } else {
            bandStart = rects.size();
            for (std::size_t k = i; k < rowEnd; ++k) {
                rects.push_back(QRect(runs[k].x, runs[k].y, runs[k].w, runs[k].h));
            }
        }
        i = rowEnd;
    }
    QRegion region;
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
    return region;
}

} // namespace brindle
