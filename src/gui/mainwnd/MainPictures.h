// The main window's full-window pictures: every skinned button cuts its state pictures from them
// at its own position. Loaded once at start; a missing file leaves its picture black.
#pragma once

#include <QPixmap>

namespace brindle {

struct MainPictures {
    QPixmap normal;  // "main_normal.jpg"
    QPixmap over;    // "main_over.jpg"
    QPixmap down;    // "main_down.jpg"
    QPixmap disable; // "main_disable.jpg": the selected look
    QPixmap normal2; // the same four again
    QPixmap over2;
    QPixmap down2;
    QPixmap disable2;
    QPixmap arrow;   // "Arrow.jpg"
    QPixmap colour0; // "main_color0.jpg": colour key off
    QPixmap colour1; // "main_color1.jpg": colour key on
};

} // namespace brindle
