// The keyboard picture of the main window: the 105 key buttons, the nine extra keys, Fn, and the
// buttons around them (profiles, default profile, report rate, mode switch, flip and arrows,
// lock and bank indicators). Key buttons show whether the key of the keyboard's active profile
// is assigned and say so in their tooltip; in colour keys mode they show their light flag.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

namespace brindle {

class CKeyweaveDlg;
class CPngButton;

class KeyboardView {
public:
    explicit KeyboardView(CKeyweaveDlg& window);

    // Places and pictures the nine extra keys and the 105 keys from the main skin file.
    void LayoutKeyButtons();
    // Selected state and tooltip of the current bank's extra keys and of the 105 keys from the
    // active profile's page, then the flip state. Takes the live lock.
    void RefreshKeyButtons();
    // Colour keys pictures on (mode 1) or off (mode 0), each by its light flag.
    void RefreshLightFlags();
    // Removes the per-key colour frames and the selected state of every key button and Fn.
    void ClearKeyMarks();
    void OnKeyClick(int controlId);
    void ApplyFlip();
    void OnFlip();
    void OnModeSwitch();
    void CaptionModeSwitch();
    void OnProfileButton(int profile);
    // After attach: selects the active profile's button and shows that profile.
    void MarkProfileButtons(int activeProfile);
    void OnDefaultProfile();
    void OnReportRate(int rate);
    void SelectReportRate(int rate);
    // The keyboard switched the extra-key bank.
    void OnBankChanged();

    // What a command id is in the view.
    int KeyPosition(int controlId) const;    // 0..104, or -1
    int ExtraKeyNumber(int controlId) const; // 0..8, or -1
    bool IsViewCommand(int controlId) const;
    // Bank of the extra keys: 0 = A, 1 = B.
    int Bank() const;
    int Flip() const;
    int ReportRate() const { return reportRate_; }

    // Opens the key assignment for (layer, key code, control id); empty until that dialog exists.
    std::function<void(int layer, int keyCode, int controlId)> openAssignment;

    static constexpr std::array<int, 3> kProfileButtons = {1135, 1136, 1137};
    static constexpr std::array<int, 4> kReportRateButtons = {1147, 1168, 1169, 1170};
    static constexpr int kBankIndicator = 1128;
    static constexpr int kFlipIndicator = 1129;
    static constexpr int kFlipLeft = 1130;
    static constexpr int kFlipRight = 1131;
    static constexpr int kArrowLeft = 1132;
    static constexpr int kArrowRight = 1133;
    // D1..D6: the six keys that share their place with F1..F4, placed by "FUNC_D1".."FUNC_D6".
    static constexpr int kFirstFlipKey = 1016;

private:
    void RefreshExtraKeys();
    void PlaceArrow(bool left, bool normalDrawn);
    void SetColourPictures(CPngButton* button, uint32_t flag);

    CKeyweaveDlg& window_;
    std::map<int, int> positionOf_;
    int reportRate_ = 0;
};

} // namespace brindle
