// Draws the default skin's pictures from the skin model.
#pragma once

#include <QImage>
#include <QString>

#include "SkinModel.h"

namespace skingen {

// The look every element takes in one full-window picture.
enum class Look {
    Normal,
    Hot,       // "over": hover
    Pressed,   // "down"
    Alt,       // "disable": keys assigned, toggles selected, other buttons disabled
    ColourOff, // colour keys mode, light flag off
    ColourOn,  // colour keys mode, light flag on
    Disabled,  // a dialog's disabled picture: every button dimmed
};

// Which composite page's panel the picture shows; None for the other windows.
enum class Page { None, Key, Macro, MacroOnly, Media, Function };

QImage PaintWindow(const Window& window, Look look, Page page = Page::None);
// White outside the rounded window, black inside.
QImage PaintMask(const Window& window);

// The arrow frames: four 12 x 16 frames (up-left, down-left, up-right, down-right) per frame row.
QImage PaintArrows();

// Lighting panel pictures.
QImage PaintSwitch(bool on);
QImage PaintDirection(const QString& glyph, bool selected);
QImage PaintHue(const QColor& colour, bool selected);
QImage PaintColourful(bool on);
QImage PaintTool(int tool, bool selected);
QImage PaintBusyFrame(int frame);
QImage PaintSliderFace(int position, int positions);
QImage PaintSwatch(const QColor& colour, QSize size);

} // namespace skingen
