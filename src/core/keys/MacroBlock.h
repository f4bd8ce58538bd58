// The keyboard's macro area: every macro of a list packed for the keyboard's macro memory.
// Little-endian throughout.
//
//   header, 16 bytes
//     0   u16  magic 0x55AA (bytes AA 55)
//     2   u16  size of the whole area in bytes
//     4   u16  macro count n
//     6   u16  1 when names are included, else 0
//     8   8 x 0
//   16    n x u16  offset of each macro's entry from the start of the area, in list order
//   16+2n the entries, back to back in list order
//
//   entry
//     0   u16  action count c
//     2   u8   play count
//     3   u8   name length L in UTF-16 units (0 without names)
//     4   c x packed action (u16 control word, descriptor byte 1, descriptor byte 2)
//     4+4c L x UTF-16 name, no terminator (only with names)
//
//   control word: bits 0-11 delay in 10 ms units, bits 12-14 descriptor kind, bit 15 set for a
//   press. The descriptor bytes are bytes 1 and 2 of the key's device key descriptor.
//
// The keyboard plays macro p (0-based list position) for a key whose table descriptor is 5, 1, p.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/keys/MacroRecord.h"
#include "core/lang/TextLookup.h"

namespace brindle {

constexpr std::uint16_t kMacroBlockMagic = 0x55AA;
constexpr std::size_t kMacroBlockHeaderSize = 16;
constexpr std::size_t kMacroEntryHeaderSize = 4;
constexpr std::size_t kPackedActionSize = 4;
// Sizes and offsets in the area are 16-bit.
constexpr std::size_t kMaxMacroBlockSize = 0xFFFF;
// The longest delay a packed action carries: 4095 units of 10 ms.
constexpr std::uint32_t kMaxPackedDelayUnits = 0x0FFF;
constexpr std::uint32_t kMaxPackedDelayMs = kMaxPackedDelayUnits * kMacroDelayUnitMs;

// Byte offsets of the header fields.
struct MacroBlock {
    static constexpr std::size_t kMagic = 0;
    static constexpr std::size_t kSize = 2;
    static constexpr std::size_t kCount = 4;
    static constexpr std::size_t kNamesFlag = 6;
    static constexpr std::size_t kOffsets = 16;
};

// The language key of the text new macros are named with ("Macro" in English).
inline constexpr std::u16string_view kNewMacroPrefixKey = u"IDS_MACRO_NEW_PREFIX";

// The area's size for a list, without and with names. Never cut to 16 bits: a list whose area is
// too large for the keyboard shows up here as a size above its capacity.
struct MacroBlockSize {
    std::size_t withoutNames = 0;
    std::size_t withNames = 0;
};
MacroBlockSize MacroBlockSizes(std::span<const MacroRecord> macros);

// Packs the list, with or without names. Delays are cut to the 10 ms unit; a recorded delay
// longer than the field can carry (40950 ms) is sent as the longest one rather than wrapping to a
// short one. Returns an empty vector when the area would be larger than its 16-bit size field
// (the keyboard's macro memory is far smaller, so such an area is never sent).
std::vector<std::uint8_t> EncodeMacroBlock(std::span<const MacroRecord> macros, bool withNames);

// Unpacks an area read from the keyboard into records: play count, actions and name as stored,
// new flag and repeat mode 0, id = position + 1. A macro without a stored name is named `prefix`
// followed by its position + 1. Nothing outside `area` is read; the area is taken to end at the
// size in its header, cut to `capacity` (the keyboard's macro memory) and to the bytes read. A
// wrong magic gives an empty list. The first macro whose offset, action count or name does not
// lie inside the area ends decoding: it and every macro after it are dropped. At most 100 macros
// and 2000 actions per macro are taken.
MacroList DecodeMacroBlock(std::span<const std::uint8_t> area, std::size_t capacity,
                           std::u16string_view prefix);

// The text new and unnamed macros are named with.
std::u16string NewMacroPrefix(const TextLookup& lookup);

} // namespace brindle
