#include "core/keys/MacroRecordDelay.h"

#include <climits>

namespace brindle {
namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

int ParseLeadingDecimal(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

std::u16string RecordDelayEntryName(const TextLookup& lookup) {
    std::u16string name = lookup ? lookup(kRecordDelayTextKey) : std::u16string();
    if (name.empty())
        name = kRecordDelayTextKey;
    return name;
}

int ReadRecordDelay(MacroSettingStore& store, const TextLookup& lookup) {
    return ParseLeadingDecimal(
        store.ReadString(kRecordDelaySection, RecordDelayEntryName(lookup), u"0"));
}

bool WriteRecordDelay(MacroSettingStore& store, const TextLookup& lookup, int value) {
    return store.WriteString(kRecordDelaySection, RecordDelayEntryName(lookup),
                             value == 1 ? u"1" : u"0");
}

} // namespace brindle
