// Key identities and the constant tables that translate between them.
//
// A key code is the PC/AT scan code set 1 make code of a key, plus 0x100 when the make code has
// the E0 prefix. Valid codes are 0x000-0x07F and 0x100-0x17F; 0 means "no key". Pause and Num Lock
// are swapped against the hardware sequence: Pause is 0x045, Num Lock is 0x145.
//
// A key index (0..255) is the compact form of a code and the position of its record in
// kKeyInfoTable: 0x000-0x07F stay as they are, 0x100-0x17F become 0x80-0xFF.
//
// A key number is the row of a key in the dialogs' key lists: 0x0000-0x0069 are the standard keys
// (A = 0x0000 ... Right Win = 0x0069; letters, digits and the first keys after them follow their
// HID keyboard usage - 4, the rest keep the lists' own order), 0x8001-0x8030 the special keys;
// 0xFFFF marks an index without a key.
//
// Every search over a table returns the first match in index order: Right Shift is present under
// 0x036 and 0x136 and always converts to 0x036; Pause and Break share keyboard usage 0x48 and the
// usage converts to Pause. Nothing here has state; every table is read-only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/lang/TextLookup.h"

namespace brindle {

using KeyCode = std::uint16_t;
using KeyNumber = std::uint16_t;
using KeyIndex = std::uint8_t;

constexpr KeyCode kNoKey = 0;
constexpr KeyNumber kNoKeyNumber = 0xFFFF;
constexpr std::uint8_t kNoVirtualKey = 0xFF;

constexpr std::size_t kKeyIndexCount = 256;
constexpr std::size_t kConsumerUsageTableSize = 32;
constexpr std::size_t kMediaKeyCount = 18;
constexpr std::size_t kKeyButtonCount = 105;
constexpr std::size_t kExtraKeyCount = 9;
// The dialogs' key lists show key numbers 0 to 105 in order.
constexpr std::size_t kStandardKeyNumberCount = 106;

// HID usage pages a key can send.
constexpr std::uint16_t kUsagePageDesktop = 0x01;
constexpr std::uint16_t kUsagePageKeyboard = 0x07;
constexpr std::uint16_t kUsagePageConsumer = 0x0C;

struct HidUsage {
    std::uint16_t page = 0; // 0 = the key sends nothing
    std::uint16_t usage = 0;
    friend constexpr bool operator==(const HidUsage&, const HidUsage&) = default;
};

// One record of the key table.
//
// usageByte: 0x00 or 0xFF no usage; 0x81-0x83 generic desktop usage equal to the byte; 0xC0-0xDF
// consumer usage kConsumerUsageByte[byte - 0xC0]; anything else a keyboard usage equal to the byte.
struct KeyInfo {
    std::uint8_t virtualKey = kNoVirtualKey; // Windows virtual key (numeric pad: Num Lock on)
    KeyNumber keyNumber = kNoKeyNumber;
    std::u16string_view label; // English label; empty at an index without a key
    std::uint8_t alternateVirtualKey = kNoVirtualKey; // numeric pad with Num Lock off, else = vk
    std::uint8_t usageByte = 0;
    std::u16string_view stringKey; // language file key of the display name; empty for F13
};

// One record per key index.
extern const std::array<KeyInfo, kKeyIndexCount> kKeyInfoTable;

// Consumer usages addressed by usage bytes 0xC0-0xDF; positions 18-31 are 0.
extern const std::array<std::uint16_t, kConsumerUsageTableSize> kConsumerUsageByte;

// Key index per Windows virtual key; 0 = no key.
extern const std::array<KeyIndex, 256> kVkToKeyIndex;

// The media keys in the order of the dialogs' media key lists and of media key assignments, and
// the consumer usage the keyboard sends for each (same order).
extern const std::array<KeyCode, kMediaKeyCount> kMediaKeyCodes;
extern const std::array<std::uint16_t, kMediaKeyCount> kMediaUsages;

// The key code behind each bit of the HID modifier byte, bit 0 first:
// Ctrl, Shift, Alt, Win, Right Ctrl, Right Shift, Right Alt, Right Win.
inline constexpr std::array<KeyCode, 8> kModifierKeyCodes = {0x01D, 0x02A, 0x038, 0x15B,
                                                             0x11D, 0x036, 0x138, 0x15C};

// A key button of the keyboard picture: its control id and the key it stands for.
struct KeyButton {
    std::uint16_t controlId;
    KeyCode code;
};

// The 105 key buttons in their fixed order.
extern const std::array<KeyButton, kKeyButtonCount> kKeyButtonCodes;

// The extra keys' buttons, by extra key number. They have no key code; their key entries follow
// the 256 key indexes, at 256 + extra key number.
inline constexpr std::array<std::uint16_t, kExtraKeyCount> kExtraKeyControlIds = {
    1000, 1001, 1002, 1003, 1004, 1140, 1141, 1142, 1143};

// ---- Device key descriptor ------------------------------------------------------------------
// Three bytes: how the keyboard's firmware stores a key or function in its key tables and macros.
//
//   kind 0: 0, 0                         no function (key disabled)
//   kind 2: 1, modifier bits             a modifier key
//   kind 2: 2, keyboard usage            any other key of usage page 7
//   kind 3: usage low, usage high        consumer usage
//   kind 4: usage low, usage high        generic desktop usage
//   kind 5: 1, macro position            play macro
//   kind 5: 2, 0                         stop playing macro
//   kind 5: 5, function number           key function
struct DeviceKeyDescriptor {
    std::uint8_t kind = 0;
    std::uint8_t byte1 = 0;
    std::uint8_t byte2 = 0;
    friend constexpr bool operator==(const DeviceKeyDescriptor&,
                                     const DeviceKeyDescriptor&) = default;
};
static_assert(sizeof(DeviceKeyDescriptor) == 3);

constexpr std::uint8_t kDescriptorNone = 0;
constexpr std::uint8_t kDescriptorKeyboard = 2;
constexpr std::uint8_t kDescriptorConsumer = 3;
constexpr std::uint8_t kDescriptorDesktop = 4;
constexpr std::uint8_t kDescriptorMacro = 5;
// byte 1 of kind 2
constexpr std::uint8_t kKeyboardModifier = 1;
constexpr std::uint8_t kKeyboardUsage = 2;
// byte 1 of kind 5
constexpr std::uint8_t kMacroPlay = 1;
constexpr std::uint8_t kMacroStop = 2;
constexpr std::uint8_t kMacroFunction = 5;

// ---- Conversions -----------------------------------------------------------------------------

// 0x000-0x0FF -> themselves, 0x100 and above -> (code + 0x80) & 0xFF.
constexpr KeyIndex KeyCodeToIndex(KeyCode code) {
    return code < 0x100 ? static_cast<KeyIndex>(code) : static_cast<KeyIndex>((code + 0x80) & 0xFF);
}

// 0x00-0x7F -> themselves, 0x80-0xFF -> index + 0x80.
constexpr KeyCode KeyIndexToCode(KeyIndex index) {
    return index < 0x80 ? KeyCode{index} : static_cast<KeyCode>(index + 0x80);
}

// True for 0x000-0x07F and 0x100-0x17F.
constexpr bool IsValidKeyCode(KeyCode code) {
    return code < 0x80 || (code >= 0x100 && code < 0x180);
}

// The record of a key, or nullptr for a code outside the valid ranges or an index without a key.
// A code outside the valid ranges never borrows the record of the code that shares its index.
const KeyInfo* FindKeyInfo(KeyCode code);

// Key number of the key; 0xFFFF when there is no such key.
KeyNumber KeyCodeToNumber(KeyCode code);

// Code of the first record (index order) with that number; 0 when none.
KeyCode KeyNumberToCode(KeyNumber number);

// The usage pair the key sends; {0, 0} when it sends none.
HidUsage KeyCodeToUsage(KeyCode code);

// The first key (index order) that sends the usage; 0 when none. Consumer usage 0 reduces to the
// first empty consumer table position and so finds Zoom- (0x174), the first key pointing there.
KeyCode UsageToKeyCode(std::uint16_t page, std::uint16_t usage);
inline KeyCode UsageToKeyCode(HidUsage usage) {
    return UsageToKeyCode(usage.page, usage.usage);
}

// The key of the lowest set bit of a HID modifier byte; 0 for an empty byte.
KeyCode ModifierBitToKeyCode(std::uint8_t modifiers);

// The modifier bit of a modifier key; 0 for any other key.
std::uint8_t KeyCodeToModifierBit(KeyCode code);

// The key behind a keyboard hook event: the virtual key and the keystroke flags (bits 16-23 the
// hardware scan code, bit 24 the extended-key flag). Trusts the scan code where it agrees with the
// virtual key and falls back to the virtual key's own key otherwise (a remapped layout).
KeyCode HookEventToKeyCode(std::uint32_t virtualKey, std::uint32_t keystrokeFlags);

// Sys Req, KL, KR and Print Screen: keys whose press Windows reports only on release.
bool IsReleaseOnlyKey(KeyCode code);

// True for the 18 codes of kMediaKeyCodes.
bool IsMediaKey(KeyCode code);

// Modifier keys become kind 2/1 with their bit; keyboard usages kind 2/2; consumer usages kind 3;
// desktop usages kind 4. A key without a usage (and code 0) becomes the all-zero descriptor.
DeviceKeyDescriptor KeyCodeToDescriptor(KeyCode code);

// The key stored in a descriptor; 0 for kinds that hold no key (0, 5, unknown).
KeyCode DescriptorToKeyCode(const DeviceKeyDescriptor& descriptor);

// ---- Names -----------------------------------------------------------------------------------
// An empty TextLookup stands for "no language file": names are then the English labels.

// Language file key and built-in text of the name shown for a key without a name of its own.
inline constexpr std::u16string_view kUnknownKeyTextKey = u"UNKNOWN_KEY";
inline constexpr std::u16string_view kUnknownKeyBuiltInText = u"Unknown Key: %03x";

// The display name of a key: the localized text of its string key. A key without a string key (or
// whose text is empty) gets the UNKNOWN_KEY text with the code put in as three lower-case hex
// digits; when that text is missing ("#Error"), empty or has no hex field, the built-in text is
// used. Only a "%x"/"%X" field (with optional 0 flag and width) and "%%" are expanded: the text
// comes from a language file and is never used as a printf format.
std::u16string KeyNameByCode(KeyCode code, const TextLookup& lookup);

// Buffer form: writes the name cut to capacity - 1 characters and a terminating 0; writes nothing
// when capacity is 0. Returns the number of characters written before the terminator.
std::size_t KeyNameByCode(KeyCode code, char16_t* buffer, std::size_t capacity,
                          const TextLookup& lookup);

// The localized name of the first record with that number; empty when no record has the number or
// the record has no string key (no fallback name here).
std::u16string KeyNameByNumber(KeyNumber number, const TextLookup& lookup);

// The key with that display name (in the lookup's language) or English label, compared without
// regard to case and surrounding white space; localized names are tried first, each in index
// order. Nothing for an empty name.
std::optional<KeyCode> FindKeyByName(std::u16string_view name, const TextLookup& lookup);

} // namespace brindle
