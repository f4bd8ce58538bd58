#include "core/app/KeyTooltipText.h"

#include "core/keys/KeyTables.h"

#include <cstring>
#include <gtest/gtest.h>

namespace brindle {
namespace {

// Every text is its key in brackets, so the test sees which keys were looked up, in which order.
std::u16string Bracketed(std::u16string_view key) {
    return u"[" + std::u16string(key) + u"]";
}

MacroRecord Macro(uint16_t id, std::u16string_view name) {
    MacroRecord record{};
    record.id = id;
    name.copy(record.name, name.size());
    return record;
}

TEST(KeyTooltipText, ByEntryType) {
    const TextLookup lookup = Bracketed;
    MacroList macros;
    macros.push_back(Macro(3, u"First"));
    macros.push_back(Macro(7, u"Combo"));
    macros.push_back(Macro(7, u"Shadowed"));
    MacroRecord full = Macro(9, u"");
    std::fill(std::begin(full.name), std::end(full.name), u'x'); // no terminator in the field
    macros.push_back(full);
    const std::u16string b = KeyNameByCode(0x030, lookup);
    const std::u16string set = u"A[IDS_KEY_PROMPT_SET]";
    struct Case {
        uint16_t type;
        uint32_t payload;
        std::u16string expected;
    };
    const Case cases[] = {
        {kKeyDefault, 0x30, u"A"},
        {kKeyDisabled, 0, set},
        {kKeyLaunchProgram, 4, set},
        {kKeyStopMacro, 0, set},
        {kKeyTextBlock, 1, set},
        {kKeySingleKey, 0x030, set + u"[IDS_KEY_PROMPT_SINGLE]" + b + u")"},
        {kKeyPlayMacro, 7, set + u"[IDS_KEY_PROMPT_MACRO]Combo)"},
        {kKeyPlayMacro, 0x10007, set + u"[IDS_KEY_PROMPT_MACRO]Combo)"}, // id in the low half
        {kKeyPlayMacro, 5, set + u"[IDS_KEY_PROMPT_MACRO])"},
        {kKeyPlayMacro, 9,
         set + u"[IDS_KEY_PROMPT_MACRO]" + std::u16string(kMacroNameCapacity, u'x') + u")"},
        {kKeyMediaKey, 0,
         set + u"[IDS_KEY_PROMPT_MEDIA]" + KeyNameByCode(kMediaKeyCodes[0], lookup) + u")"},
        {kKeyMediaKey, 18, set + u"[IDS_KEY_PROMPT_MEDIA])"},
        {kKeyFunction, 10, set + u"[IDS_KEY_PROMPT_FUNCTION][IDS_COMPOSITE_FUNC_KEY_ZOOMIN])"},
        {kKeyFunction, 11, set + u"[IDS_KEY_PROMPT_FUNCTION])"},
    };
    for (const Case& c : cases) {
        KeyEntry entry{c.type, 0, c.payload, 0, 0};
        EXPECT_EQ(KeyTooltipText(u"A", entry, macros, lookup), c.expected)
            << "type " << c.type << " payload " << c.payload;
    }
    EXPECT_EQ(ExtraKeyName(0), u"G1");
    EXPECT_EQ(ExtraKeyName(8), u"G9");
}

} // namespace
} // namespace brindle
