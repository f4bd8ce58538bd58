#include "gui/mainwnd/KeyboardView.h"

#include <cstdlib>

#include "core/app/KeyTooltipText.h"
#include "core/app/KeyViewTable.h"
#include "core/config/ConfigImage.h"
#include "core/platform/Utf.h"
#include "core/skin/SkinKeys.h"
#include "gui/mainwnd/CKeyweaveDlg.h"
#include "gui/skin/CPngButton.h"

namespace brindle {

namespace {

constexpr int kFirstFunctionKey = 1010; // F1..F4: 1010-1013, shown with flip 0
constexpr int kEnterKey = 1070;
constexpr int kEnterNeighbour = 1055;
constexpr int kFlipGroupNeighbour = 1014;

} // namespace

KeyboardView::KeyboardView(CKeyweaveDlg& window) : window_(window) {
    for (size_t p = 0; p < kViewKeyCount; ++p)
        positionOf_[KeyViewButton(p).controlId] = static_cast<int>(p);
}

int KeyboardView::KeyPosition(int controlId) const {
    auto it = positionOf_.find(controlId);
    return it == positionOf_.end() ? -1 : it->second;
}

int KeyboardView::ExtraKeyNumber(int controlId) const {
    for (size_t n = 0; n < kViewExtraKeyCount; ++n)
        if (KeyViewExtraKeyId(n) == controlId)
            return static_cast<int>(n);
    return -1;
}

bool KeyboardView::IsViewCommand(int controlId) const {
    return KeyPosition(controlId) >= 0 || ExtraKeyNumber(controlId) >= 0;
}

int KeyboardView::Bank() const {
    DeviceConnection* connection = window_.Connection();
    return connection ? (connection->BankStatus()[1] & 1) : 0;
}

int KeyboardView::Flip() const {
    KeyStore* store = window_.Setup().appProfiles;
    if (!store)
        return 0;
    // Stored as text; read like the integer read of an INI value: leading digits, else 0.
    std::string text = Utf16ToUtf8(store->ReadString(u"Flip").value_or(u"0"));
    return std::atoi(text.c_str());
}

void KeyboardView::LayoutKeyButtons() {
    const MainPictures& p = window_.Pictures();
    for (size_t n = 0; n < kViewExtraKeyCount; ++n) {
        CPngButton* button = window_.Button(KeyViewExtraKeyId(n));
        window_.PlacePictureButton(button, ExtraKeySkinKey(static_cast<int>(n)), &p.normal, &p.over,
                                   &p.down, &p.normal, &p.disable);
    }
    for (size_t k = 0; k < kViewKeyCount; ++k) {
        const ViewKey key = KeyViewButton(k);
        CPngButton* button = window_.Button(key.controlId);
        const SkinRect r =
            window_.PlacePictureButton(button, KeyButtonSkinKey(key.keyIndex), &p.normal, &p.over,
                                       &p.down, &p.normal, &p.disable);
        button->setProperty("parked", r.IsParked());
    }
    for (int d = 0; d < 6; ++d) {
        CPngButton* button = window_.Button(kFirstFlipKey + d);
        const SkinRect r =
            window_.PlacePictureButton(button, "FUNC_D" + std::to_string(d + 1), &p.normal, &p.over,
                                       &p.down, &p.normal, &p.disable);
        button->setProperty("parked", r.IsParked());
        button->setText(QStringLiteral("D%1").arg(d + 1));
    }
    // Paint links: some buttons overlap others, which must be drawn again on top.
    window_.Button(kBankIndicator)->SetAfterPaint([this](CPngButton*, bool) {
        for (size_t n = 0; n < kViewExtraKeyCount; ++n)
            window_.Button(KeyViewExtraKeyId(n))->update();
    });
    window_.Button(kEnterKey)->SetAfterPaint(
        [this](CPngButton*, bool) { window_.Button(kEnterNeighbour)->update(); });
    window_.Button(kFlipIndicator)->SetAfterPaint([this](CPngButton*, bool) {
        const int first = Flip() != 0 ? kFirstFlipKey : kFirstFunctionKey;
        const int count = Flip() != 0 ? 6 : 4;
        for (int id = first; id < first + count; ++id)
            window_.Button(id)->update();
        window_.Button(kFlipGroupNeighbour)->update();
        window_.Button(kFlipLeft)->update();
        window_.Button(kFlipRight)->update();
    });
    window_.Button(kFlipLeft)->SetAfterPaint(
        [this](CPngButton*, bool normalDrawn) { PlaceArrow(true, normalDrawn); });
    window_.Button(kFlipRight)->SetAfterPaint([this](CPngButton*, bool normalDrawn) {
        PlaceArrow(false, normalDrawn);
    });
}

void KeyboardView::PlaceArrow(bool left, bool normalDrawn) {
    std::atomic<int32_t>& shown =
        left ? window_.Shared().leftArrowShown : window_.Shared().rightArrowShown;
    if (!normalDrawn) {
        shown = 0;
        return;
    }
    // The frame number would animate the arrows; nothing advances it, so it stays 1.
    const char* stem = Flip() != 0 ? (left ? "UP_ARROW_LEFT" : "UP_ARROW_RIGHT")
                                   : (left ? "DOWN_ARROW_LEFT" : "DOWN_ARROW_RIGHT");
    const std::string key = ArrowFrameSkinKey(stem, 1);
    CPngButton* arrow = window_.Button(left ? kArrowLeft : kArrowRight);
    // Place once per change of the arrow picture, not on every paint of the flip button.
    if (shown.load() == 1 && arrow->property("arrowKey").toString() == QString::fromStdString(key))
        return;
    window_.PlacePictureFrom(arrow, left ? "LEFT_ARROW" : "RIGHT_ARROW", kArrowFrameSection, key,
                             &window_.Pictures().arrow);
    arrow->setProperty("arrowKey", QString::fromStdString(key));
    arrow->show();
    shown = 1;
}

void KeyboardView::RefreshExtraKeys() {
    ConfigContext& live = window_.Contexts().live;
    const TextLookup lookup = window_.Lookup();
    const int bank = Bank();
    const int page = window_.ActivePage();
    std::lock_guard<std::mutex> guard(live.lock);
    if (!live.image)
        return;
    for (size_t n = 0; n < kViewExtraKeyCount; ++n) {
        const KeyEntry& entry =
            live.image->pages[page].entries[(bank ? kExtraKeyBank1Entry : kExtraKeyBank0Entry) + n];
        CPngButton* button = window_.Button(KeyViewExtraKeyId(n));
        button->SetSelected(entry.type != kKeyDefault, true);
        button->SetTooltip(QString::fromStdU16String(KeyTooltipText(
                               ExtraKeyName(static_cast<int>(n)), entry, live.macros, lookup)),
                           true);
    }
}

void KeyboardView::RefreshKeyButtons() {
    RefreshExtraKeys();
    {
        ConfigContext& live = window_.Contexts().live;
        const TextLookup lookup = window_.Lookup();
        const int page = window_.ActivePage();
        std::lock_guard<std::mutex> guard(live.lock);
        if (live.image) {
            for (size_t k = 0; k < kViewKeyCount; ++k) {
                const ViewKey key = KeyViewButton(k);
                const KeyEntry& entry = live.image->pages[page].entries[key.keyIndex];
                CPngButton* button = window_.Button(key.controlId);
                button->SetSelected(entry.type != kKeyDefault, true);
                button->SetTooltip(
                    QString::fromStdU16String(KeyTooltipText(KeyViewName(key.keyCode, lookup),
                                                             entry, live.macros, lookup)),
                    true);
            }
        }
    }
    ApplyFlip();
}

void KeyboardView::SetColourPictures(CPngButton* button, uint32_t flag) {
    const MainPictures& p = window_.Pictures();
    const bool colourMode = window_.Shared().colourKeysMode.load() == 1;
    button->SetCustomPictures(&p.colour0, &p.colour1, colourMode, flag != 0, true);
}

void KeyboardView::RefreshLightFlags() {
    ConfigContext& live = window_.Contexts().live;
    const int page = window_.ActivePage();
    const int bank = Bank();
    std::lock_guard<std::mutex> guard(live.lock);
    if (!live.image)
        return;
    const KeyEntry* entries = live.image->pages[page].entries;
    // The extra keys share the light flags of entries n (bank A) and n + 9 (bank B).
    for (size_t n = 0; n < kViewExtraKeyCount; ++n)
        SetColourPictures(window_.Button(KeyViewExtraKeyId(n)),
                          entries[n + (bank ? kExtraKeysPerBank : 0)].lightFlag);
    // A key button's light flag is the entry of its position in the view, not its key index.
    for (size_t p = 0; p < kViewKeyCount; ++p)
        SetColourPictures(window_.Button(KeyViewButton(p).controlId), entries[p].lightFlag);
}

void KeyboardView::ClearKeyMarks() {
    auto clear = [](CPngButton* button) {
        button->SetFrame(QColor(), false);
        button->SetSelected(false, true);
    };
    for (size_t n = 0; n < kViewExtraKeyCount; ++n)
        clear(window_.Button(KeyViewExtraKeyId(n)));
    for (size_t k = 0; k < kViewKeyCount; ++k)
        clear(window_.Button(KeyViewButton(k).controlId));
    clear(window_.Button(ids::kFn));
}

void KeyboardView::OnKeyClick(int controlId) {
    const int extra = ExtraKeyNumber(controlId);
    const int position = KeyPosition(controlId);
    int keyCode;
    size_t lightEntry;
    if (extra >= 0) {
        const int bank = Bank();
        keyCode = 0x100 + extra + (bank ? 9 : 0);
        lightEntry = extra + (bank ? kExtraKeysPerBank : 0);
    } else if (position >= 0) {
        keyCode = KeyViewButton(position).keyIndex;
        lightEntry = static_cast<size_t>(position);
    } else {
        return;
    }
    CPngButton* button = window_.Button(controlId);
    if (!button->isEnabled())
        return;
    if (window_.Shared().colourKeysMode.load() != 1) {
        // Stays highlighted while its assignment is open; the assignment restores it.
        const MainPictures& p = window_.Pictures();
        button->SetStatePictures(&p.over, &p.over, &p.down, &p.normal, &p.over, true);
        if (openAssignment)
            openAssignment(0, keyCode, controlId);
        button->SetStatePictures(&p.normal, &p.over, &p.down, &p.normal, &p.disable, true);
        return;
    }
    uint32_t flag = 0;
    {
        ConfigContext& live = window_.Contexts().live;
        std::lock_guard<std::mutex> guard(live.lock);
        if (!live.image)
            return;
        KeyEntry& entry = live.image->pages[window_.ActivePage()].entries[lightEntry];
        entry.lightFlag = entry.lightFlag == 0 ? 1 : 0;
        flag = entry.lightFlag;
    }
    SetColourPictures(button, flag);
    window_.EnableApply();
}

void KeyboardView::ApplyFlip() {
    const bool flipped = Flip() != 0;
    // A key the skin does not place stays disabled whatever the flip says.
    auto enable = [this](int id, bool on) {
        CPngButton* button = window_.Button(id);
        button->setEnabled(on && !button->property("parked").toBool());
    };
    for (int id = kFirstFunctionKey; id < kFirstFunctionKey + 4; ++id)
        enable(id, !flipped);
    for (int id = kFirstFlipKey; id < kFirstFlipKey + 6; ++id)
        enable(id, flipped);
    const MainPictures& p = window_.Pictures();
    const QPixmap* face = flipped ? &p.normal2 : &p.normal;
    window_.Button(kFlipIndicator)->SetStatePictures(face, face, face, face, &p.disable, true);
}

void KeyboardView::OnFlip() {
    if (KeyStore* store = window_.Setup().appProfiles)
        store->WriteString(u"Flip", Flip() == 0 ? u"1" : u"0");
    ApplyFlip();
}

void KeyboardView::CaptionModeSwitch() {
    const bool colourMode = window_.Shared().colourKeysMode.load() == 1;
    const std::u16string text = window_.Slots().Resolve(colourMode ? TextSlot::SwitchToFunctionKeys
                                                                   : TextSlot::SwitchToColorKeys,
                                                        window_.Lookup());
    window_.Button(ids::kModeSwitch)->setText(QString::fromStdU16String(text));
}

void KeyboardView::OnModeSwitch() {
    window_.Shared().colourKeysMode = window_.Shared().colourKeysMode.load() == 1 ? 0 : 1;
    CaptionModeSwitch();
    RefreshLightFlags();
}

void KeyboardView::OnProfileButton(int profile) {
    DeviceProtocol* protocol = window_.Protocol();
    if (!protocol || profile < 0 || profile > 2)
        return;
    protocol->SetShownProfile(profile);
    // The lighting panel shows the chosen profile; of it this window keeps the report rate.
    uint8_t block[kReportPayloadSize] = {};
    if (protocol->ReadLightingArea(block, 42, profile * 42) == 1)
        SelectReportRate(block[15] > 3 ? 3 : block[15]);
    if (protocol->GetActiveProfile() == profile)
        return;
    if (protocol->SetActiveProfile(profile) != 1)
        return;
    for (int n = 0; n < 3; ++n)
        window_.Button(kProfileButtons[n])->SetSelected(n == profile, true);
    window_.Shared().colourKeysMode = 0;
    CaptionModeSwitch();
    RefreshKeyButtons();
    RefreshLightFlags();
}

void KeyboardView::MarkProfileButtons(int activeProfile) {
    if (activeProfile < 0 || activeProfile > 2)
        return;
    for (int n = 0; n < 3; ++n)
        window_.Button(kProfileButtons[n])->SetSelected(n == activeProfile, true);
    if (DeviceProtocol* protocol = window_.Protocol())
        protocol->SetShownProfile(activeProfile);
}

void KeyboardView::OnDefaultProfile() {
    const TextLookup lookup = window_.Lookup();
    if (!window_.Setup().messages->AskYesNo(lookup(u"IDS_MAIN_PROMPT_DEFAULT")))
        return;
    {
        ConfigContext& live = window_.Contexts().live;
        std::lock_guard<std::mutex> guard(live.lock);
        if (!live.image)
            return;
        KeyEntry* entries = live.image->pages[window_.ActivePage()].entries;
        const size_t first = Bank() ? kExtraKeyBank1Entry : kExtraKeyBank0Entry;
        for (size_t n = 0; n < kViewExtraKeyCount; ++n) {
            entries[first + n] = KeyEntry{};
            CPngButton* button = window_.Button(KeyViewExtraKeyId(n));
            button->SetSelected(false, true);
            button->SetTooltip(QString::fromStdU16String(ExtraKeyName(static_cast<int>(n))), true);
        }
        for (size_t k = 0; k < kViewKeyCount; ++k) {
            const ViewKey key = KeyViewButton(k);
            entries[key.keyIndex] = KeyEntry{};
            CPngButton* button = window_.Button(key.controlId);
            button->SetSelected(false, true);
            button->SetTooltip(QString::fromStdU16String(KeyViewName(key.keyCode, lookup)), true);
        }
    }
    window_.EnableApply();
    window_.ApplySequence();
}

void KeyboardView::SelectReportRate(int rate) {
    reportRate_ = rate;
    for (int i = 0; i < 4; ++i)
        window_.Button(kReportRateButtons[i])->SetSelected(i == rate, true);
}

void KeyboardView::OnReportRate(int rate) {
    SelectReportRate(rate);
    DeviceProtocol* protocol = window_.Protocol();
    if (!protocol)
        return;
    // The report rate is byte 15 of the shown profile's 42-byte lighting block; it bypasses Apply.
    const uint8_t value = static_cast<uint8_t>(rate);
    protocol->BeginTransfer();
    protocol->WriteLightingArea(&value, 1, protocol->ShownProfile() * 42 + 15);
    protocol->EndTransfer();
}

void KeyboardView::OnBankChanged() {
    RefreshExtraKeys();
    const MainPictures& p = window_.Pictures();
    CPngButton* indicator = window_.Button(kBankIndicator);
    if (Bank())
        indicator->SetStatePictures(&p.over, &p.over, &p.over, &p.over, &p.normal, true);
    else
        indicator->SetStatePictures(&p.normal, &p.normal, &p.normal, &p.normal, &p.over, true);
}

} // namespace brindle
