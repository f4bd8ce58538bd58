// One key's assignment in a key page of the configuration image, 16 bytes, little-endian, exactly
// as profile files store it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brindle {

// What a key does (bytes 0-1 of an entry).
enum KeyEntryType : std::uint16_t {
    kKeyDefault = 0,       // the key's factory function; payload ignored
    kKeyDisabled = 1,      // sends nothing; payload ignored
    kKeySingleKey = 2,     // payload: KeyCode of the key it sends
    kKeyLaunchProgram = 3, // payload: text slot in memory, pool offset in files
    kKeyPlayMacro = 4,     // payload: macro id in the low half
    kKeyStopMacro = 5,     // payload ignored
    kKeyTextBlock = 6,     // payload as kKeyLaunchProgram
    kKeyMediaKey = 7,      // payload: index 0-17 into the media usages
    kKeyFunction = 8,      // payload: function number in the low byte
};

struct KeyEntry {
    std::uint16_t type;       // KeyEntryType
    std::uint16_t extraKeyId; // 0x0301 + n / 0x1301 + n for the extra keys of bank 0 / 1, else 0
    std::uint32_t payload;
    std::uint32_t lightFlag; // colour-keys mode of the keyboard view; the key dialogs keep it
    std::uint32_t reserved;  // kept as found; 0 in new images
};

static_assert(sizeof(KeyEntry) == 16);
static_assert(offsetof(KeyEntry, payload) == 4);
static_assert(offsetof(KeyEntry, lightFlag) == 8);

// True for the two types whose payload refers to a text of the string table.
inline bool KeyEntryHasText(std::uint16_t type) {
    return type == kKeyLaunchProgram || type == kKeyTextBlock;
}

} // namespace brindle
