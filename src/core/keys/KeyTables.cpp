// Conversions over the key tables and the key names.
#include "core/keys/KeyTables.h"

#include <algorithm>

namespace brindle {

namespace {

constexpr std::u16string_view kMissingText = u"#Error";

constexpr bool IsDesktopUsageByte(std::uint8_t byte) {
    return byte >= 0x81 && byte <= 0x83;
}

constexpr bool IsConsumerUsageByte(std::uint8_t byte) {
    return byte >= 0xC0 && byte <= 0xDF;
}

// Reduces a usage pair to the usage byte the key table stores; 0 when no byte stands for it.
std::uint8_t UsageToUsageByte(std::uint16_t page, std::uint16_t usage) {
    switch (page) {
    case kUsagePageKeyboard:
        // The bytes 0x81-0x83 and 0xC0-0xDF stand for desktop and consumer usages, and the table
        // holds one byte per key: keyboard usages in those ranges or above 0xFF have no key (and
        // must not turn into Power or Zoom- by truncation).
        if (usage > 0xFF || IsDesktopUsageByte(static_cast<std::uint8_t>(usage)) ||
            IsConsumerUsageByte(static_cast<std::uint8_t>(usage)))
            return 0;
        return static_cast<std::uint8_t>(usage);
    case kUsagePageDesktop:
        return usage >= 0x81 && usage <= 0x83 ? static_cast<std::uint8_t>(usage) : 0;
    case kUsagePageConsumer: {
        // Usage 0 finds the first empty position (18), which Zoom- points at.
        const auto it = std::find(kConsumerUsageByte.begin(), kConsumerUsageByte.end(), usage);
        if (it == kConsumerUsageByte.end())
            return 0;
        return static_cast<std::uint8_t>(0xC0 + (it - kConsumerUsageByte.begin()));
    }
    default:
        return 0;
    }
}

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // Latin-1 capitals
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) // Greek capitals
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x410 && c <= 0x42F) // Cyrillic capitals
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string LookUp(const TextLookup& lookup, const KeyInfo& info) {
    if (!lookup)
        return std::u16string(info.label);
    return lookup(info.stringKey);
}

// Expands each "%x" / "%X" field (optional 0 flag, width up to 8) with the code in hex and "%%"
// to "%"; anything else is copied as it stands. Tells through hasField whether a field was found.
std::u16string ExpandCodeFields(std::u16string_view format, KeyCode code, bool& hasField) {
    hasField = false;
    std::u16string out;
    std::size_t i = 0;
    while (i < format.size()) {
        const char16_t c = format[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        std::size_t j = i + 1;
        bool zeroPad = false;
        while (j < format.size() && format[j] == u'0') {
            zeroPad = true;
            ++j;
        }
        std::size_t width = 0;
        while (j < format.size() && format[j] >= u'0' && format[j] <= u'9' && width < 100) {
            width = width * 10 + (format[j] - u'0');
            ++j;
        }
        if (j >= format.size() || (format[j] != u'x' && format[j] != u'X') || width > 8) {
            out += c; // not a field we fill: keep the text as written
            ++i;
            continue;
        }
        const char16_t* digits = format[j] == u'x' ? u"0123456789abcdef" : u"0123456789ABCDEF";
        std::u16string hex;
        for (unsigned value = code; value != 0 || hex.empty(); value >>= 4)
            hex.insert(hex.begin(), digits[value & 0xF]);
        if (hex.size() < width)
            hex.insert(0, width - hex.size(), zeroPad ? u'0' : u' ');
        out += hex;
        hasField = true;
        i = j + 1;
    }
    return out;
}

std::u16string UnknownKeyName(KeyCode code, const TextLookup& lookup) {
    if (lookup) {
        const std::u16string text = lookup(kUnknownKeyTextKey);
        if (!text.empty() && text != kMissingText) {
            bool hasField = false;
            std::u16string name = ExpandCodeFields(text, code, hasField);
            if (hasField)
                return name;
        }
    }
    bool hasField = false;
    return ExpandCodeFields(kUnknownKeyBuiltInText, code, hasField);
}

} // namespace

const KeyInfo* FindKeyInfo(KeyCode code) {
    if (!IsValidKeyCode(code))
        return nullptr;
    const KeyInfo& info = kKeyInfoTable[KeyCodeToIndex(code)];
    return info.keyNumber == kNoKeyNumber ? nullptr : &info;
}

KeyNumber KeyCodeToNumber(KeyCode code) {
    const KeyInfo* info = FindKeyInfo(code);
    return info ? info->keyNumber : kNoKeyNumber;
}

KeyCode KeyNumberToCode(KeyNumber number) {
    for (std::size_t i = 0; i < kKeyIndexCount; ++i)
        if (kKeyInfoTable[i].keyNumber == number)
            return KeyIndexToCode(static_cast<KeyIndex>(i));
    return kNoKey;
}

HidUsage KeyCodeToUsage(KeyCode code) {
    const KeyInfo* info = FindKeyInfo(code);
    if (!info)
        return {};
    const std::uint8_t byte = info->usageByte;
    if (byte == 0x00 || byte == 0xFF)
        return {};
    if (IsDesktopUsageByte(byte))
        return {kUsagePageDesktop, byte};
    if (IsConsumerUsageByte(byte))
        return {kUsagePageConsumer, kConsumerUsageByte[byte - 0xC0]};
    return {kUsagePageKeyboard, byte};
}

KeyCode UsageToKeyCode(std::uint16_t page, std::uint16_t usage) {
    const std::uint8_t byte = UsageToUsageByte(page, usage);
    if (byte == 0)
        return kNoKey; // index 0 has usage byte 0 and comes first
    for (std::size_t i = 0; i < kKeyIndexCount; ++i)
        if (kKeyInfoTable[i].usageByte == byte)
            return KeyIndexToCode(static_cast<KeyIndex>(i));
    return kNoKey;
}

KeyCode ModifierBitToKeyCode(std::uint8_t modifiers) {
    for (std::size_t bit = 0; bit < kModifierKeyCodes.size(); ++bit)
        if (modifiers & (1u << bit))
            return kModifierKeyCodes[bit];
    return kNoKey;
}

std::uint8_t KeyCodeToModifierBit(KeyCode code) {
    for (std::size_t bit = 0; bit < kModifierKeyCodes.size(); ++bit)
        if (kModifierKeyCodes[bit] == code)
            return static_cast<std::uint8_t>(1u << bit);
    return 0;
}

KeyCode HookEventToKeyCode(std::uint32_t virtualKey, std::uint32_t keystrokeFlags) {
    const KeyIndex vkIndex = virtualKey < kVkToKeyIndex.size() ? kVkToKeyIndex[virtualKey] : 0;
    const KeyCode fromVk = KeyIndexToCode(vkIndex);
    // Bits 16-23 hold the scan code, bit 24 the extended-key (E0) flag.
    const KeyCode scan = static_cast<KeyCode>((keystrokeFlags >> 16) & 0x1FF);

    // Windows reports Right Shift under several virtual keys; its scan code is the one truth.
    if (scan == 0x036)
        return 0x036;
    if (virtualKey == kNoVirtualKey)
        return scan;
    if ((scan & 0xFF) == 0)
        return fromVk;
    if (const KeyInfo* info = FindKeyInfo(scan))
        if (info->virtualKey == virtualKey || info->alternateVirtualKey == virtualKey)
            return scan;
    // A generic virtual key (Shift, Ctrl, Alt) names the left key's index; the scan code then
    // tells left from right (0x01D against 0x11D).
    if (vkIndex == (scan & 0xFF))
        return scan;
    // The scan code disagrees with the virtual key (a remapped layout): the virtual key wins.
    return fromVk;
}

bool IsReleaseOnlyKey(KeyCode code) {
    return code == 0x054 || code == 0x071 || code == 0x072 || code == 0x137;
}

bool IsMediaKey(KeyCode code) {
    return code != kNoKey &&
           std::find(kMediaKeyCodes.begin(), kMediaKeyCodes.end(), code) != kMediaKeyCodes.end();
}

DeviceKeyDescriptor KeyCodeToDescriptor(KeyCode code) {
    if (const std::uint8_t bit = KeyCodeToModifierBit(code))
        return {kDescriptorKeyboard, kKeyboardModifier, bit};
    const HidUsage usage = KeyCodeToUsage(code);
    const auto low = static_cast<std::uint8_t>(usage.usage & 0xFF);
    const auto high = static_cast<std::uint8_t>(usage.usage >> 8);
    switch (usage.page) {
    case kUsagePageKeyboard:
        return {kDescriptorKeyboard, kKeyboardUsage, low};
    case kUsagePageConsumer:
        return {kDescriptorConsumer, low, high};
    case kUsagePageDesktop:
        return {kDescriptorDesktop, low, high};
    default:
        return {}; // the keyboard cannot send this key: store it as disabled
    }
}

KeyCode DescriptorToKeyCode(const DeviceKeyDescriptor& d) {
    const auto usage16 = static_cast<std::uint16_t>(d.byte1 | (d.byte2 << 8));
    switch (d.kind) {
    case kDescriptorKeyboard:
        if (d.byte1 == kKeyboardUsage)
            return UsageToKeyCode(kUsagePageKeyboard, d.byte2);
        return ModifierBitToKeyCode(d.byte2);
    case kDescriptorConsumer:
        return UsageToKeyCode(kUsagePageConsumer, usage16);
    case kDescriptorDesktop:
        return UsageToKeyCode(kUsagePageDesktop, usage16);
    default:
        return kNoKey;
    }
}

std::u16string KeyNameByCode(KeyCode code, const TextLookup& lookup) {
    const KeyInfo* info = FindKeyInfo(code);
    if (info && !info->stringKey.empty()) {
        std::u16string name = LookUp(lookup, *info);
        if (!name.empty())
            return name;
    }
    return UnknownKeyName(code, lookup);
}

std::size_t KeyNameByCode(KeyCode code, char16_t* buffer, std::size_t capacity,
                          const TextLookup& lookup) {
    if (buffer == nullptr || capacity == 0)
        return 0;
    const std::u16string name = KeyNameByCode(code, lookup);
    const std::size_t n = std::min(name.size(), capacity - 1);
    std::copy_n(name.begin(), n, buffer);
    buffer[n] = 0;
    return n;
}

std::u16string KeyNameByNumber(KeyNumber number, const TextLookup& lookup) {
    if (number == kNoKeyNumber)
        return {};
    for (const KeyInfo& info : kKeyInfoTable)
        if (info.keyNumber == number)
            return info.stringKey.empty() ? std::u16string() : LookUp(lookup, info);
    return {};
}

std::optional<KeyCode> FindKeyByName(std::u16string_view name, const TextLookup& lookup) {
    name = Trim(name);
    if (name.empty())
        return std::nullopt;
    if (lookup) {
        for (std::size_t i = 0; i < kKeyIndexCount; ++i) {
            const KeyInfo& info = kKeyInfoTable[i];
            if (info.stringKey.empty())
                continue;
            const std::u16string text = lookup(info.stringKey);
            if (text.empty() || text == kMissingText)
                continue;
            if (EqualsIgnoringCase(Trim(text), name))
                return KeyIndexToCode(static_cast<KeyIndex>(i));
        }
    }
    for (std::size_t i = 0; i < kKeyIndexCount; ++i) {
        const KeyInfo& info = kKeyInfoTable[i];
        if (!info.label.empty() && EqualsIgnoringCase(info.label, name))
            return KeyIndexToCode(static_cast<KeyIndex>(i));
    }
    return std::nullopt;
}

} // namespace brindle
