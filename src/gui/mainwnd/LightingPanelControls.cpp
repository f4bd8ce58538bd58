#include "gui/mainwnd/LightingPanelControls.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "gui/skin/CBaseDialog.h"

namespace brindle {

namespace {

enum class Kind { Text, Picture, Combo, Slider, Colour };

struct PanelControl {
    int id;
    Kind kind;
    const char* skinKey;
    const char16_t* captionKey; // nullptr: no caption
    bool alwaysShown;           // visible with the lighting switch off
};

const PanelControl kPanel[] = {
    {1171, Kind::Text, "CONTROL_DengStatic", u"IDS_KEYBOARD_FUNC_DENG", true},
    {1167, Kind::Picture, "CONTROL_DengStaPic", nullptr, true},
    {1146, Kind::Combo, "CONTROL_XGcombox", nullptr, false},
    {1172, Kind::Text, "CONTROL_LightStatic", u"IDS_KEYBOARD_FUNC_TEXTLIGHT", false},
    {1178, Kind::Slider, "CONTROL_LightSlider", nullptr, false},
    {1166, Kind::Text, "CONTROL_SpeedStatic", u"IDS_KEYBOARD_FUNC_SPEED", false},
    {1179, Kind::Slider, "CONTROL_SpeedSlider", nullptr, false},
    {1148, Kind::Text, "CONTROL_BLFXStatic", u"IDS_KEYBOARD_FUNC_FX", false},
    {1149, Kind::Picture, "CONTROL_BLFXLStaPic", nullptr, false},
    {1150, Kind::Picture, "CONTROL_BLFXRStaPic", nullptr, false},
    {1151, Kind::Text, "CONTROL_FYYSStatic", u"IDS_KEYBOARD_FUNC_COLOR", false},
    {1152, Kind::Colour, "CONTROL_FYYSButton", nullptr, false},
    {1175, Kind::Picture, "CONTROL_FYSJSStaPic", nullptr, false},
    {1176, Kind::Text, "CONTROL_FYSJSStatic", u"IDS_KEYBOARD_FUNC_COLOURFUL", false},
    {1154, Kind::Text, "CONTROL_HXysStatic", u"IDS_KEYBOARD_FUNC_COLOR", false},
    {1155, Kind::Colour, "CONTROL_HXysButton", nullptr, false},
    {1156, Kind::Picture, "CONTROL_HXsjsStaPic", nullptr, false},
    {1173, Kind::Text, "CONTROL_HXsjsStatic", u"IDS_KEYBOARD_FUNC_COLOURFUL", false},
    {1194, Kind::Picture, "CONTROL_HONGPIC", nullptr, false},
    {1195, Kind::Picture, "CONTROL_HUANGPIC", nullptr, false},
    {1196, Kind::Picture, "CONTROL_LVPIC", nullptr, false},
    {1197, Kind::Picture, "CONTROL_LANPIC", nullptr, false},
    {1204, Kind::Text, "CONTROL_UsbStatic", u"IDS_KEYBOARD_FUNC_USB", true},
    {1207, Kind::Text, "CONTROL_RGBStatic", nullptr, false},
};

} // namespace

LightingPanelControls::LightingPanelControls(CBaseDialog& window) {
    for (const PanelControl& c : kPanel) {
        QWidget* control = nullptr;
        switch (c.kind) {
        case Kind::Text: {
            auto* label = new QLabel(&window);
            label->setStyleSheet(QStringLiteral("color: #d8dde6; background: transparent;"));
            control = label;
            break;
        }
        case Kind::Picture:
            control = new QLabel(&window);
            break;
        case Kind::Combo:
            control = new QComboBox(&window);
            break;
        case Kind::Slider: {
            auto* slider = new QSlider(Qt::Horizontal, &window);
            slider->setRange(0, c.id == 1178 ? 5 : 4);
            control = slider;
            break;
        }
        case Kind::Colour:
            control = new QPushButton(&window);
            break;
        }
        control->setObjectName(QString::number(c.id));
        control->setProperty("captionKey",
                             c.captionKey ? QString::fromStdU16String(c.captionKey) : QString());
        window.PlaceControl(control, c.skinKey);
        control->setVisible(c.alwaysShown);
        controls_[c.id] = control;
    }
    if (auto* rgb = qobject_cast<QLabel*>(controls_[1207]))
        rgb->setText(QStringLiteral("RGB"));
}

void LightingPanelControls::ApplyLanguage(const TextLookup& lookup) {
    for (auto& [id, control] : controls_) {
        const QString key = control->property("captionKey").toString();
        if (key.isEmpty())
            continue;
        if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(QString::fromStdU16String(lookup(key.toStdU16String())));
    }
}

QWidget* LightingPanelControls::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

} // namespace brindle
