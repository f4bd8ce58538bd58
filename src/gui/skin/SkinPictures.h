// Loading skin pictures for a window.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QSize>
#include <QString>

namespace brindle {

// A full-window button picture: a surface of the window's client size plus 100 pixels in each
// direction with the picture drawn unscaled at its top-left corner, so buttons can cut their
// rectangles from it without ever decoding or scaling again. A file that is missing or cannot be
// decoded leaves the surface black and sets *loaded to false; the window goes on with it.
QPixmap LoadSkinPicture(const QString& path, QSize clientSize, bool* loaded = nullptr);

// A picture at its natural size (BMP pictures of the lighting panel); null when unreadable.
QPixmap LoadSkinBitmap(const QString& path);

// The window shape of a mask picture: every pixel that is not white (0xFFFFFF) belongs to it.
QRegion MaskToRegion(const QImage& mask);

} // namespace brindle
