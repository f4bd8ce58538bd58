// The lighting panel's controls of the main window, created and placed from the main skin file.
// Which of them show follows the lighting mode; with the lighting switch off (the start state)
// only the switch, its caption and the report-rate caption are visible.
#pragma once

#include <map>
#include <string>

#include "core/lang/TextLookup.h"

class QWidget;

namespace brindle {

class CBaseDialog;

class LightingPanelControls {
public:
    // Creates every control as a child of `window`, placed by its skin key, mode controls hidden.
    explicit LightingPanelControls(CBaseDialog& window);

    // The language message: the captions of the panel.
    void ApplyLanguage(const TextLookup& lookup);

    QWidget* Control(int id) const;
    const std::map<int, QWidget*>& Controls() const { return controls_; }

private:
    std::map<int, QWidget*> controls_;
};

} // namespace brindle
