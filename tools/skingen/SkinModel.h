// The default skin described as data: every window's controls with their layout keys, kinds and
// rectangles. The painter draws the pictures from it and the writer turns it into layout files,
// so a rectangle in a layout file and the place its picture is drawn can never disagree.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QVector>

namespace skingen {

enum class Kind {
    Key,          // a keyboard key with a legend
    SmallKey,     // extra keys and the D row: compact keys
    Lock,         // lock indicator: label and LED, lit in the "over" picture
    Bank,         // extra-key bank indicator: A lit normally, B in the "over" picture
    FlipPlate,    // flip group label plate
    FlipButton,   // small round button with a swap glyph
    Arrow,        // the arrow buttons draw from Arrow.jpg; nothing in the full-window pictures
    TextButton,   // pill whose caption the program draws
    ToggleButton, // like TextButton, but its "disable" picture is the selected (active) look
    RateButton,   // report rate: baked label, selected look in the "disable" picture
    WindowIcon,   // title bar glyph button
    Logo,         // the link button: the wordmark
    Version,      // version label
    WebIcon,      // small round icon with a letter
    Plain,        // a control that draws itself; only its rectangle goes into the layout file
    Well,         // a plain control that sits in a recessed well (edits, lists, combo boxes)
};

struct Element {
    QString key; // layout key in "BUTTONINFO"
    Kind kind = Kind::Plain;
    QRect rect;
    QString legend; // text on the picture ("" for none); '\n' splits two lines
    QString glyph;  // icon name for WindowIcon / WebIcon / FlipButton / SmallKey sub-labels
};

struct Window {
    QString layoutFile; // "Main.ini"
    QSize size;
    QVector<Element> elements;
    QVector<QRect> cards; // panels drawn behind groups of controls
    QRect keyboardCase;   // main window only
    bool brand = false;   // the wordmark in the title bar, where no control shows it
};

// Palette of the default skin.
struct Palette {
    QColor windowTop{0x1a, 0x1d, 0x23};
    QColor windowBottom{0x0e, 0x10, 0x13};
    QColor border{0x30, 0x35, 0x3e};
    QColor caseFill{0x15, 0x17, 0x1b};
    QColor caseBorder{0x2c, 0x31, 0x3a};
    QColor card{0x17, 0x1a, 0x1f};
    QColor cardBorder{0x27, 0x2b, 0x33};
    QColor keyTop{0x31, 0x35, 0x3e};
    QColor keyBottom{0x26, 0x29, 0x30};
    QColor keyEdge{0x10, 0x12, 0x15};
    QColor legend{0xe8, 0xea, 0xed};
    QColor legendDim{0x70, 0x76, 0x80};
    QColor accent{0xf2, 0xa3, 0x3a};
    QColor accentDeep{0x9a, 0x5c, 0x12};
    QColor hoverTop{0x3d, 0x42, 0x4d};
    QColor hoverBottom{0x32, 0x36, 0x3f};
    QColor pressTop{0x1c, 0x1f, 0x24};
    QColor pressBottom{0x22, 0x25, 0x2b};
    QColor well{0x0f, 0x11, 0x14};
};

Window MainWindow(const QString& version);
Window ProfileWindow();
Window CompositeWindow();
Window UpdateWindow();

} // namespace skingen
