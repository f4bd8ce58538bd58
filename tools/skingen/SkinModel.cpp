#include "SkinModel.h"

#include <cmath>

#include "core/keys/KeyTables.h"
#include "core/skin/SkinKeys.h"

namespace skingen {

namespace {

// Key pitch of the keyboard picture and the gap between neighbouring keys.
constexpr double kUnit = 42.0;
constexpr int kGap = 4;

// One key of the keyboard description: its key code (0 for a gap), width and height in key
// units, and its legend.
struct KeySpec {
    int code;
    double width;
    const char* legend;
    double height = 1.0;
};

constexpr int kGapCode = 0;
constexpr int kFnCode = -1;

// The main block, row by row (function row first), then the navigation cluster and the numeric
// pad, as offsets in key units from the block's top-left corner. ISO: a tall Enter and the extra
// key (K45) beside the left Shift.
struct Row {
    double x;
    double y;
    std::vector<KeySpec> keys;
};

const std::vector<Row>& KeyboardRows() {
    static const std::vector<Row> rows = {
        {0,
         0,
         {{0x001, 1, "Esc"},
          {kGapCode, 1, ""},
          {0x03B, 1, "F1"},
          {0x03C, 1, "F2"},
          {0x03D, 1, "F3"},
          {0x03E, 1, "F4"},
          {kGapCode, 0.5, ""},
          {0x03F, 1, "F5"},
          {0x040, 1, "F6"},
          {0x041, 1, "F7"},
          {0x042, 1, "F8"},
          {kGapCode, 0.5, ""},
          {0x043, 1, "F9"},
          {0x044, 1, "F10"},
          {0x057, 1, "F11"},
          {0x058, 1, "F12"}}},
        {0,
         1.5,
         {{0x029, 1, "~\n`"},
          {0x002, 1, "!\n1"},
          {0x003, 1, "@\n2"},
          {0x004, 1, "#\n3"},
          {0x005, 1, "$\n4"},
          {0x006, 1, "%\n5"},
          {0x007, 1, "^\n6"},
          {0x008, 1, "&\n7"},
          {0x009, 1, "*\n8"},
          {0x00A, 1, "(\n9"},
          {0x00B, 1, ")\n0"},
          {0x00C, 1, "_\n-"},
          {0x00D, 1, "+\n="},
          {0x00E, 2, "Backspace"}}},
        {0,
         2.5,
         {{0x00F, 1.5, "Tab"},
          {0x010, 1, "Q"},
          {0x011, 1, "W"},
          {0x012, 1, "E"},
          {0x013, 1, "R"},
          {0x014, 1, "T"},
          {0x015, 1, "Y"},
          {0x016, 1, "U"},
          {0x017, 1, "I"},
          {0x018, 1, "O"},
          {0x019, 1, "P"},
          {0x01A, 1, "{\n["},
          {0x01B, 1, "}\n]"},
          {0x01C, 1.5, "Enter", 2}}},
        {0,
         3.5,
         {{0x03A, 1.5, "Caps Lock"},
          {0x01E, 1, "A"},
          {0x01F, 1, "S"},
          {0x020, 1, "D"},
          {0x021, 1, "F"},
          {0x022, 1, "G"},
          {0x023, 1, "H"},
          {0x024, 1, "J"},
          {0x025, 1, "K"},
          {0x026, 1, "L"},
          {0x027, 1, ":\n;"},
          {0x028, 1, "\"\n'"},
          {0x02B, 1, "|\n\\"}}},
        {0,
         4.5,
         {{0x02A, 1.25, "Shift"},
          {0x056, 1, ">\n<"},
          {0x02C, 1, "Z"},
          {0x02D, 1, "X"},
          {0x02E, 1, "C"},
          {0x02F, 1, "V"},
          {0x030, 1, "B"},
          {0x031, 1, "N"},
          {0x032, 1, "M"},
          {0x033, 1, "<\n,"},
          {0x034, 1, ">\n."},
          {0x035, 1, "?\n/"},
          {0x036, 2.75, "Shift"}}},
        {0,
         5.5,
         {{0x01D, 1.25, "Ctrl"},
          {0x15B, 1.25, "Win"},
          {0x038, 1.25, "Alt"},
          {0x039, 6.25, ""},
          {0x138, 1, "Alt Gr"},
          {0x15C, 1, "Win"},
          {kFnCode, 1, "Fn"},
          {0x15D, 1, "Menu"},
          {0x11D, 1, "Ctrl"}}},
        // Navigation cluster.
        {15.5, 0, {{0x137, 1, "PrtSc"}, {0x046, 1, "Scroll\nLock"}, {0x045, 1, "Pause"}}},
        {15.5, 1.5, {{0x152, 1, "Ins"}, {0x147, 1, "Home"}, {0x149, 1, "PgUp"}}},
        {15.5, 2.5, {{0x153, 1, "Del"}, {0x14F, 1, "End"}, {0x151, 1, "PgDn"}}},
        {16.5, 4.5, {{0x148, 1, "\u2191"}}},
        {15.5, 5.5, {{0x14B, 1, "\u2190"}, {0x150, 1, "\u2193"}, {0x14D, 1, "\u2192"}}},
        // Numeric pad.
        {19,
         1.5,
         {{0x145, 1, "Num\nLock"}, {0x135, 1, "/"}, {0x037, 1, "*"}, {0x04A, 1, "\u2212"}}},
        {19, 2.5, {{0x047, 1, "7"}, {0x048, 1, "8"}, {0x049, 1, "9"}, {0x04E, 1, "+", 2}}},
        {19, 3.5, {{0x04B, 1, "4"}, {0x04C, 1, "5"}, {0x04D, 1, "6"}}},
        {19, 4.5, {{0x04F, 1, "1"}, {0x050, 1, "2"}, {0x051, 1, "3"}, {0x11C, 1, "Enter", 2}}},
        {19, 5.5, {{0x052, 2, "0"}, {0x053, 1, "."}}},
    };
    return rows;
}

QRect KeyRect(double left, double top, double ux, double uy, double w, double h) {
    int x = static_cast<int>(std::lround(left + ux * kUnit));
    int y = static_cast<int>(std::lround(top + uy * kUnit));
    int r = static_cast<int>(std::lround(left + (ux + w) * kUnit)) - kGap;
    int b = static_cast<int>(std::lround(top + (uy + h) * kUnit)) - kGap;
    return QRect(QPoint(x, y), QPoint(r - 1, b - 1));
}

void Add(Window& w, const QString& key, Kind kind, QRect rect, const QString& legend = {},
         const QString& glyph = {}) {
    w.elements.push_back(Element{key, kind, rect, legend, glyph});
}

} // namespace

Window MainWindow(const QString& version) {
    Window w;
    w.layoutFile = QStringLiteral("Main.ini");
    w.size = QSize(1120, 712);

    // Title bar.
    Add(w, "VELKAR_LINK", Kind::Logo, QRect(20, 10, 150, 32), "BRINDLE");
    Add(w, "VELKAR_VER", Kind::Version, QRect(176, 18, 64, 18), "v" + version);
    Add(w, "CONTROL_Network", Kind::WebIcon, QRect(860, 14, 24, 24), {}, "web");
    Add(w, "CONTROL_Facebook", Kind::WebIcon, QRect(890, 14, 24, 24), {}, "f");
    Add(w, "CONTROL_twitter", Kind::WebIcon, QRect(920, 14, 24, 24), {}, "x");
    Add(w, "CONTROL_MENU", Kind::WindowIcon, QRect(972, 12, 28, 28), {}, "menu");
    Add(w, "CONTROL_HELP", Kind::WindowIcon, QRect(1004, 12, 28, 28), {}, "help");
    Add(w, "CONTROL_MINIMIZE", Kind::WindowIcon, QRect(1036, 12, 28, 28), {}, "min");
    Add(w, "CONTROL_CLOSE", Kind::WindowIcon, QRect(1068, 12, 28, 28), {}, "close");

    // Tool row: profiles and the buttons around them.
    Add(w, "FUNC_PROFILE1", Kind::ToggleButton, QRect(20, 58, 104, 34));
    Add(w, "FUNC_PROFILE2", Kind::ToggleButton, QRect(130, 58, 104, 34));
    Add(w, "FUNC_PROFILE3", Kind::ToggleButton, QRect(240, 58, 104, 34));
    Add(w, "FUNC_DEFAULT", Kind::TextButton, QRect(362, 58, 110, 34));
    Add(w, "FUNC_PROFILES", Kind::TextButton, QRect(478, 58, 130, 34));
    Add(w, "FUNC_MACRO", Kind::TextButton, QRect(614, 58, 110, 34));
    Add(w, "FUNC_SWITCH", Kind::TextButton, QRect(842, 58, 258, 34));

    // The keyboard.
    w.keyboardCase = QRect(20, 104, 1080, 336);
    const double blockLeft = 113;
    const double blockTop = 150;
    for (const Row& row : KeyboardRows()) {
        double ux = row.x;
        for (const KeySpec& k : row.keys) {
            if (k.code != kGapCode) {
                QRect r = KeyRect(blockLeft, blockTop, ux, row.y, k.width, k.height);
                QString key =
                    k.code == kFnCode
                        ? QStringLiteral("KEY_FN")
                        : QString::fromStdString(brindle::KeyButtonSkinKey(
                              brindle::KeyCodeToIndex(static_cast<brindle::KeyCode>(k.code))));
                Add(w, key, Kind::Key, r, QString::fromUtf8(k.legend));
            }
            ux += k.width;
        }
    }
    // Extra keys: one column of nine compact keys left of the main block.
    const int extraTop = 150;
    const int extraBottom = 150 + static_cast<int>(6.5 * kUnit) - kGap;
    for (int n = 0; n < 9; ++n) {
        int top = extraTop + (extraBottom - extraTop + kGap) * n / 9;
        int bottom = extraTop + (extraBottom - extraTop + kGap) * (n + 1) / 9 - kGap;
        Add(w, QString::fromStdString(brindle::ExtraKeySkinKey(n)), Kind::SmallKey,
            QRect(QPoint(40, top), QPoint(91, bottom - 1)), QStringLiteral("G%1").arg(n + 1));
    }
    // The strip above the function row: bank indicator, flip group, lock indicators.
    Add(w, "LOCK_AB", Kind::Bank, QRect(40, 116, 52, 24));
    Add(w, "FLIP_1", Kind::FlipButton, QRect(155, 116, 24, 24), {}, "left");
    Add(w, "LEFT_ARROW", Kind::Arrow, QRect(182, 120, 12, 16));
    for (int d = 0; d < 6; ++d) {
        Add(w, QStringLiteral("FUNC_D%1").arg(d + 1), Kind::SmallKey,
            QRect(198 + d * 36, 116, 32, 24), QStringLiteral("D%1").arg(d + 1));
    }
    Add(w, "RIGHT_ARROW", Kind::Arrow, QRect(414, 120, 12, 16));
    Add(w, "FLIP_2", Kind::FlipButton, QRect(429, 116, 24, 24), {}, "right");
    Add(w, "FLIP_0", Kind::FlipPlate, QRect(461, 116, 110, 24), "F1-F4 \u21c4 D1-D6");
    Add(w, "LOCK_NUM", Kind::Lock, QRect(911, 116, 52, 24), "Num");
    Add(w, "LOCK_CAPS", Kind::Lock, QRect(967, 116, 52, 24), "Caps");
    Add(w, "LOCK_SCROLL", Kind::Lock, QRect(1023, 116, 56, 24), "Scroll");

    // Lighting panel, left card: switch, effect, brightness, speed, direction.
    w.cards = {QRect(20, 452, 400, 192), QRect(432, 452, 368, 192), QRect(812, 452, 288, 192)};
    Add(w, "CONTROL_DengStatic", Kind::Plain, QRect(36, 468, 200, 22));
    Add(w, "CONTROL_DengStaPic", Kind::Plain, QRect(340, 465, 64, 28));
    Add(w, "CONTROL_XGcombox", Kind::Well, QRect(36, 502, 368, 26));
    Add(w, "CONTROL_LightStatic", Kind::Plain, QRect(36, 543, 96, 20));
    Add(w, "CONTROL_LightSlider", Kind::Plain, QRect(140, 541, 264, 24));
    Add(w, "CONTROL_SpeedStatic", Kind::Plain, QRect(36, 577, 96, 20));
    Add(w, "CONTROL_SpeedSlider", Kind::Plain, QRect(140, 575, 264, 24));
    // Direction: the set used depends on the effect; the effect without a speed slider uses the
    // speed row.
    Add(w, "CONTROL_BLFXStatic", Kind::Plain, QRect(36, 577, 96, 20));
    Add(w, "CONTROL_BLFXLStaPic", Kind::Plain, QRect(140, 573, 40, 28));
    Add(w, "CONTROL_BLFXRStaPic", Kind::Plain, QRect(188, 573, 40, 28));
    Add(w, "CONTROL_BLFXStatic2", Kind::Plain, QRect(36, 611, 96, 20));
    Add(w, "CONTROL_BLFXLStaPic2", Kind::Plain, QRect(140, 607, 40, 28));
    Add(w, "CONTROL_BLFXRStaPic2", Kind::Plain, QRect(188, 607, 40, 28));
    Add(w, "CONTROL_BLFXStatic3", Kind::Plain, QRect(36, 611, 96, 20));
    Add(w, "CONTROL_BLFXLStaPic3", Kind::Plain, QRect(140, 607, 40, 28));
    Add(w, "CONTROL_BLFXRStaPic3", Kind::Plain, QRect(188, 607, 40, 28));

    // Middle card: colours. Only one group shows at a time, so the groups share places.
    for (const char* prefix : {"FY", "HX"}) {
        const QString p = QString::fromLatin1(prefix);
        Add(w, "CONTROL_" + p + (p == "FY" ? "YSStatic" : "ysStatic"), Kind::Plain,
            QRect(448, 468, 100, 22));
        Add(w, "CONTROL_" + p + (p == "FY" ? "YSButton" : "ysButton"), Kind::Plain,
            QRect(556, 464, 84, 28));
        Add(w, "CONTROL_" + p + (p == "FY" ? "SJSStaPic" : "sjsStaPic"), Kind::Plain,
            QRect(656, 464, 52, 28));
        Add(w, "CONTROL_" + p + (p == "FY" ? "SJSStatic" : "sjsStatic"), Kind::Plain,
            QRect(714, 468, 80, 22));
    }
    Add(w, "CONTROL_HONGPIC", Kind::Plain, QRect(448, 502, 48, 28));
    Add(w, "CONTROL_HUANGPIC", Kind::Plain, QRect(504, 502, 48, 28));
    Add(w, "CONTROL_LVPIC", Kind::Plain, QRect(560, 502, 48, 28));
    Add(w, "CONTROL_LANPIC", Kind::Plain, QRect(616, 502, 48, 28));
    Add(w, "CONTROL_umCombo", Kind::Plain, QRect(448, 502, 336, 26));
    Add(w, "CONTROL_USERysStatic", Kind::Plain, QRect(448, 543, 100, 20));
    Add(w, "CONTROL_USERysButton", Kind::Plain, QRect(556, 539, 84, 28));
    Add(w, "CONTROL_USERjsStatic", Kind::Plain, QRect(448, 577, 100, 20));
    Add(w, "CONTROL_USERjsButton", Kind::Plain, QRect(556, 573, 84, 28));
    Add(w, "CONTROL_USERgjStatic", Kind::Plain, QRect(448, 611, 100, 20));
    Add(w, "CONTROL_USERgjStaPic1", Kind::Plain, QRect(556, 607, 40, 28));
    Add(w, "CONTROL_USERgjStaPic2", Kind::Plain, QRect(604, 607, 40, 28));
    // Controls the panel keeps hidden (triggers, ripple and ribbon colours, spare swatches).
    Add(w, "CONTROL_FYCFStatic", Kind::Plain, QRect(448, 543, 100, 20));
    Add(w, "CONTROL_FYdjcfStatic", Kind::Plain, QRect(556, 543, 100, 20));
    Add(w, "CONTROL_FYggcfStatc", Kind::Plain, QRect(664, 543, 100, 20));
    Add(w, "CONTROL_FYdjcfStaPic", Kind::Plain, QRect(556, 573, 40, 28));
    Add(w, "CONTROL_FYggcfStaPic", Kind::Plain, QRect(664, 573, 40, 28));
    Add(w, "CONTROL_JTysStatic", Kind::Plain, QRect(448, 577, 100, 20));
    Add(w, "CONTROL_JTysButton", Kind::Plain, QRect(556, 573, 84, 28));
    Add(w, "CONTROL_TSysStatic", Kind::Plain, QRect(448, 543, 100, 20));
    Add(w, "CONTROL_TSysButton", Kind::Plain, QRect(556, 539, 84, 28));
    Add(w, "CONTROL_TSsjsStatic", Kind::Plain, QRect(714, 543, 80, 20));
    Add(w, "CONTROL_TSsjsStaPic", Kind::Plain, QRect(656, 539, 52, 28));
    Add(w, "CONTROL_CDysStatic", Kind::Plain, QRect(448, 577, 100, 20));
    Add(w, "CONTROL_CDysButton", Kind::Plain, QRect(556, 573, 84, 28));
    Add(w, "CONTROL_CDsjsStatic", Kind::Plain, QRect(714, 577, 80, 20));
    Add(w, "CONTROL_CDsjsStaPic", Kind::Plain, QRect(656, 573, 52, 28));
    for (int c = 1; c <= 8; ++c) {
        Add(w, QStringLiteral("CONTROL_Color%1").arg(c), Kind::Plain,
            QRect(448 + (c - 1) * 28, 611, 20, 20));
    }

    // Right card: report rate and the three number boxes.
    Add(w, "CONTROL_UsbStatic", Kind::Plain, QRect(828, 468, 256, 22));
    const char* rates[] = {"1000\nHz", "500\nHz", "250\nHz", "125\nHz"};
    for (int i = 0; i < 4; ++i) {
        Add(w, QStringLiteral("FUNC_REPORT%1").arg(i + 1), Kind::RateButton,
            QRect(828 + i * 65, 498, 59, 40), QString::fromLatin1(rates[i]));
    }
    Add(w, "CONTROL_RGBStatic", Kind::Plain, QRect(828, 566, 40, 22));
    Add(w, "COLOR_R", Kind::Well, QRect(872, 564, 64, 26));
    Add(w, "COLOR_G", Kind::Well, QRect(944, 564, 64, 26));
    Add(w, "COLOR_B", Kind::Well, QRect(1016, 564, 68, 26));

    // Bottom bar: busy indicator and the dialog buttons.
    Add(w, "CONTROL_JDTStatic", Kind::Plain, QRect(436, 671, 256, 12));
    Add(w, "CONTROL_OK", Kind::TextButton, QRect(772, 660, 104, 34));
    Add(w, "CONTROL_CANCEL", Kind::TextButton, QRect(884, 660, 104, 34));
    Add(w, "CONTROL2_APPLY", Kind::TextButton, QRect(996, 660, 104, 34));
    return w;
}

Window ProfileWindow() {
    Window w;
    w.layoutFile = QStringLiteral("Profile.ini");
    w.size = QSize(520, 404);
    w.brand = true;
    w.cards = {QRect(16, 52, 488, 244)};
    Add(w, "PROGRAM_LIST", Kind::Well, QRect(24, 60, 472, 228));
    Add(w, "FUNC_ADD", Kind::TextButton, QRect(24, 308, 100, 32));
    Add(w, "FUNC_LOAD", Kind::TextButton, QRect(132, 308, 100, 32));
    Add(w, "FUNC_DELETE", Kind::TextButton, QRect(240, 308, 100, 32));
    Add(w, "CONTROL_OK", Kind::TextButton, QRect(180, 356, 100, 32));
    Add(w, "CONTROL_CANCEL", Kind::TextButton, QRect(288, 356, 100, 32));
    Add(w, "CONTROL2_APPLY", Kind::TextButton, QRect(396, 356, 100, 32));
    return w;
}

Window CompositeWindow() {
    Window w;
    w.layoutFile = QStringLiteral("Composite.ini");
    w.size = QSize(560, 424);
    Add(w, "CONTROL_TITLE", Kind::Logo, QRect(20, 12, 32, 32), {}, "key");
    Add(w, "KEY_SETTING", Kind::Plain, QRect(60, 17, 400, 24));
    Add(w, "CONTROL_OSK", Kind::WindowIcon, QRect(512, 14, 28, 28), {}, "osk");
    Add(w, "CONTROL_KEY", Kind::TextButton, QRect(20, 56, 124, 34));
    Add(w, "CONTROL_MACRO", Kind::TextButton, QRect(150, 56, 124, 34));
    Add(w, "CONTROL_MEDIA", Kind::TextButton, QRect(280, 56, 124, 34));
    Add(w, "CONTROL_FUNCTION", Kind::TextButton, QRect(410, 56, 130, 34));
    // The page picture: the panel behind the page's controls.
    Add(w, "CONTROL_MASK", Kind::Plain, QRect(20, 100, 520, 256));
    // Single key, media and function pages share one place.
    Add(w, "TISHI_SINGLE_STATIC", Kind::Plain, QRect(40, 124, 480, 22));
    Add(w, "FUNC_KEY_INPUT", Kind::Well, QRect(40, 154, 480, 30));
    Add(w, "MEDIA_SETTING_TISHI", Kind::Plain, QRect(40, 124, 480, 22));
    Add(w, "FUNC_MEDIA_SELECT", Kind::Well, QRect(40, 154, 480, 28));
    Add(w, "FUNCTION_KEY_SETTING_TISHI", Kind::Plain, QRect(40, 124, 480, 22));
    Add(w, "FUNC_FUNCTION_SELECT", Kind::Well, QRect(40, 154, 480, 28));
    // Macro page.
    Add(w, "MARCO_NAME_SETTING", Kind::Plain, QRect(36, 114, 90, 22));
    Add(w, "FUNC_MACRO_LIST", Kind::Well, QRect(128, 112, 214, 26));
    Add(w, "FUNC_MACRO_ADD", Kind::WindowIcon, QRect(348, 112, 26, 26), {}, "plus");
    Add(w, "FUNC_MACRO_DELETE", Kind::WindowIcon, QRect(378, 112, 26, 26), {}, "minus");
    Add(w, "FUNC_MACRO_LIST2", Kind::Well, QRect(36, 146, 306, 200));
    Add(w, "FUNC_MACRO_RECORD", Kind::ToggleButton, QRect(352, 146, 172, 28));
    Add(w, "FUNC_MACRO_DELETE2", Kind::TextButton, QRect(352, 178, 172, 26));
    Add(w, "FUNC_MACRO_CLEAR", Kind::TextButton, QRect(352, 208, 172, 26));
    Add(w, "FUNC_MACRO_UP_TOP", Kind::TextButton, QRect(352, 238, 84, 26));
    Add(w, "FUNC_MACRO_UP", Kind::TextButton, QRect(440, 238, 84, 26));
    Add(w, "FUNC_MACRO_DOWN", Kind::TextButton, QRect(352, 268, 84, 26));
    Add(w, "FUNC_MACRO_DOWN_BOTTOM", Kind::TextButton, QRect(440, 268, 84, 26));
    Add(w, "FUNC_MACRO_RECORD_DELAY", Kind::Plain, QRect(352, 300, 18, 18));
    Add(w, "FUNC_MACRO_RECORD_DELAY2", Kind::Plain, QRect(374, 299, 150, 20));
    Add(w, "FUNC_MACRO_CYCLES_PROMPT", Kind::Plain, QRect(352, 325, 90, 20));
    Add(w, "FUNC_MACRO_CYCLES", Kind::Well, QRect(446, 322, 78, 24));
    Add(w, "CONTROL_CLEAR", Kind::TextButton, QRect(20, 372, 120, 34));
    Add(w, "CONTROL_OK", Kind::TextButton, QRect(324, 372, 104, 34));
    Add(w, "CONTROL_CANCEL", Kind::TextButton, QRect(436, 372, 104, 34));
    return w;
}

Window UpdateWindow() {
    Window w;
    w.layoutFile = QStringLiteral("UpdateDlg.ini");
    w.size = QSize(460, 224);
    w.brand = true;
    w.cards = {QRect(16, 52, 428, 56)};
    Add(w, "CONTROL_UPStatic", Kind::Well, QRect(28, 64, 316, 28));
    Add(w, "CONTROL_OPENButton", Kind::TextButton, QRect(352, 62, 80, 32));
    Add(w, "CONTROL_UPCombox", Kind::Plain, QRect(28, 108, 404, 26)); // kept hidden
    Add(w, "CONTROL_BACKUPButton", Kind::TextButton, QRect(16, 172, 120, 34));
    Add(w, "CONTROL_UPButton", Kind::TextButton, QRect(204, 172, 116, 34));
    Add(w, "CONTROL_CUPButton", Kind::TextButton, QRect(328, 172, 116, 34));
    return w;
}

} // namespace skingen
