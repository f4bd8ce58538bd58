#include "core/lang/TextSlots.h"

namespace brindle {

namespace {

struct SlotInfo {
    std::u16string_view key;
    std::u16string_view builtIn;
};

constexpr std::array<SlotInfo, static_cast<size_t>(TextSlot::Count)> kSlots = {{
    {u"UNKNOWN_KEY", u"Unknown Key: %03x"},
    {u"IDS_MAIN_SWITCH_COLOR_KEYS", u"Switch to the color keys mode"},
    {u"IDS_MAIN_SWITCH_FUNCTION_KEYS", u"Switch to the function keys mode"},
    {u"IDS_MAIN_NO_KEYBOARD",
     u"Klavye alg\u0131lanmad\u0131, Ayarlar g\u00f6r\u00fcnt\u00fclenemiyor!"},
    {u"IDS_COMPOSITE_OSK_PROMPT", u"Open the on-screen keyboard"},
    {u"IDS_PROFILE_CLOSE_EDITOR_FIRST",
     u"When fast switch scene mode, you must first close the editor dialog box."},
    {u"IDS_PROFILE_NEW_FILE_NAME", u"\\The new contextual  mode"},
    {u"IDS_PROFILE_CURRENT_PREFIX", u"The current contextual  mode: "},
    {u"IDS_MAIN_PROMPT_DEFAULT", u"IDS_MAIN_PROMPT_DEFAULT"},
    {u"MAIN_UPDATE_ERROR_TEXT", u"\u8bf7\u9009\u62e9\u6b63\u786e\u7684\u66f4\u65b0\u6587\u4ef6! "},
    {u"MAIN_BOOT_ERROR_TEXT", u"\u65e0\u6cd5\u8fdb\u5165Boot\u6a21\u5f0f! "},
    {u"MAIN_SHELL_ERROR_TEXT", u"\u65e0\u6cd5\u6267\u884c\u66f4\u65b0\u6587\u4ef6! "},
    {u"MAIN_UPDATE_BACKUP_OK", u"\u5907\u4efd\u6210\u529f!"},
    {u"MAIN_UPDATE_BACKUP_NG", u"\u5907\u4efd\u5931\u8d25,\u8bf7\u91cd\u65b0\u5907\u4efd!"},
    {u"MAIN_MINIMIZE_PROMPT", u" "},
    {u"MAIN_MENU_PROMPT", u" "},
    {u"MAIN_CLOSE_PROMPT", u" "},
}};

constexpr std::u16string_view kMissing = u"#Error";

size_t Index(TextSlot slot) {
    return static_cast<size_t>(slot);
}

} // namespace

TextSlots::TextSlots() {
    for (size_t i = 0; i < kSlots.size(); ++i)
        texts_[i] = kSlots[i].builtIn;
}

std::u16string_view TextSlots::Text(TextSlot slot) const {
    return texts_.at(Index(slot));
}

std::u16string_view TextSlots::Key(TextSlot slot) {
    return kSlots.at(Index(slot)).key;
}

std::u16string_view TextSlots::BuiltInText(TextSlot slot) {
    return kSlots.at(Index(slot)).builtIn;
}

void TextSlots::Set(TextSlot slot, std::u16string_view text) {
    size_t units = kSlotUnits - 1;
    if (text.size() > units) {
        // Never keep the first half of a surrogate pair without its second half.
        if (text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF)
            --units;
        text = text.substr(0, units);
    }
    texts_.at(Index(slot)) = text;
}

std::u16string TextSlots::Resolve(TextSlot slot, const TextLookup& lookup) const {
    const std::u16string_view current = Text(slot);
    const std::u16string_view key = Key(slot);
    if (!lookup)
        return std::u16string(current);
    std::u16string text = lookup(key);
    if (current == key || text != kMissing)
        return text;
    return std::u16string(current);
}

} // namespace brindle
