#include "core/lang/TextSlots.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

TEST(TextSlots, Resolve_languageTextReplacesBuiltInOnlyWhenPresent) {
    const TextSlots slots;
    const TextLookup english = [](std::u16string_view key) -> std::u16string {
        if (key == u"UNKNOWN_KEY")
            return u"Unnamed key %03x";
        return u"#Error";
    };
    EXPECT_EQ(slots.Resolve(TextSlot::UnknownKey, english), u"Unnamed key %03x");
    EXPECT_EQ(slots.Resolve(TextSlot::NoKeyboard, english),
              u"Klavye alg\u0131lanmad\u0131, Ayarlar g\u00f6r\u00fcnt\u00fclenemiyor!");
    EXPECT_EQ(slots.Resolve(TextSlot::NewProfileFileName, nullptr), u"\\The new contextual  mode");
    // A slot holding its own key is always looked up, even when the lookup fails.
    EXPECT_EQ(slots.Text(TextSlot::MainPromptDefault), u"IDS_MAIN_PROMPT_DEFAULT");
    EXPECT_EQ(slots.Resolve(TextSlot::MainPromptDefault, english), u"#Error");
}

TEST(TextSlots, Set_cutsAt107UnitsWithoutSplittingASurrogatePair) {
    TextSlots slots;
    slots.Set(TextSlot::MinimizePrompt, std::u16string(200, u'a'));
    EXPECT_EQ(slots.Text(TextSlot::MinimizePrompt).size(), 107u);

    std::u16string pairAtEnd(106, u'a');
    pairAtEnd += u"\U0001F600tail"; // the pair would take units 107 and 108
    slots.Set(TextSlot::MinimizePrompt, pairAtEnd);
    EXPECT_EQ(slots.Text(TextSlot::MinimizePrompt), std::u16string(106, u'a'));

    slots.Set(TextSlot::ClosePrompt, u"Close");
    EXPECT_EQ(slots.Text(TextSlot::ClosePrompt), u"Close");
    EXPECT_EQ(TextSlots().Text(TextSlot::ClosePrompt), u" ");
}

} // namespace
} // namespace brindle
