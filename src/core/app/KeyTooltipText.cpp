#include "core/app/KeyTooltipText.h"

#include "core/keys/KeyTables.h"

namespace brindle {

const std::array<std::u16string_view, 11> kKeyFunctionTextKeys = {
    u"IDS_COMPOSITE_FUNC_KEY_OPEN",       u"IDS_COMPOSITE_FUNC_KEY_NEW",
    u"IDS_COMPOSITE_FUNC_KEY_UNDO",       u"IDS_COMPOSITE_FUNC_KEY_SAVE",
    u"IDS_COMPOSITE_FUNC_KEY_COPY",       u"IDS_COMPOSITE_FUNC_KEY_CUT",
    u"IDS_COMPOSITE_FUNC_KEY_PASTE",      u"IDS_COMPOSITE_FUNC_KEY_FIND",
    u"IDS_COMPOSITE_FUNC_KEY_SELECT_ALL", u"IDS_COMPOSITE_FUNC_KEY_ZOOMOUT",
    u"IDS_COMPOSITE_FUNC_KEY_ZOOMIN"};

std::u16string ExtraKeyName(int extraKey) {
    return u"G" + std::u16string(1, static_cast<char16_t>(u'1' + extraKey));
}

std::u16string KeyTooltipText(std::u16string_view name, const KeyEntry& entry,
                              const MacroList& macros, const TextLookup& lookup) {
    std::u16string text(name);
    if (entry.type == kKeyDefault)
        return text;
    text += lookup(u"IDS_KEY_PROMPT_SET");
    switch (entry.type) {
    case kKeySingleKey:
        text += lookup(u"IDS_KEY_PROMPT_SINGLE");
        text += KeyNameByCode(static_cast<KeyCode>(entry.payload & 0xFFFF), lookup);
        text += u")";
        break;
    case kKeyPlayMacro: {
        text += lookup(u"IDS_KEY_PROMPT_MACRO");
        const uint16_t id = static_cast<uint16_t>(entry.payload & 0xFFFF);
        for (const MacroRecord& macro : macros) {
            if (macro.id != id)
                continue;
            // The name is NUL-terminated inside its field; never read past the field.
            size_t length = 0;
            while (length < kMacroNameCapacity && macro.name[length])
                ++length;
            text.append(macro.name, length);
            break;
        }
        text += u")";
        break;
    }
    case kKeyMediaKey:
        text += lookup(u"IDS_KEY_PROMPT_MEDIA");
        if (entry.payload < kMediaKeyCodes.size())
            text += KeyNameByCode(kMediaKeyCodes[entry.payload], lookup);
        text += u")";
        break;
    case kKeyFunction:
        text += lookup(u"IDS_KEY_PROMPT_FUNCTION");
        if ((entry.payload & 0xFF) < kKeyFunctionTextKeys.size())
            text += lookup(kKeyFunctionTextKeys[entry.payload & 0xFF]);
        text += u")";
        break;
    default:
        break;
    }
    return text;
}

} // namespace brindle
