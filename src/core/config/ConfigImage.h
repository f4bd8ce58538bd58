// The configuration image: the program's copy of every key assignment of the keyboard's
// profiles. One block of 32832 bytes, little-endian, that profile files copy byte for byte:
//
//   bytes 0-31    ProfileFileHeader
//   bytes 32-63   DeviceInfoBlock (fixed values, never read back)
//   bytes 64-     four key pages of 512 entries (8192 bytes each); pages 0-2 belong to the
//                 keyboard's profiles 0-2, page 3 is carried along but never sent or shown
//
// Entry index within a page: 0-255 the key index of a key, 256-264 the nine extra keys of bank 0,
// 265-273 the same keys in bank 1, 274-511 unused (always zero).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/config/KeyEntry.h"

namespace brindle {

constexpr std::uint16_t kProfileFileMagic = 0x4446; // bytes 0x46 0x44
constexpr std::uint16_t kProfileHeaderSize = 32;
constexpr std::uint16_t kImageProfileCount = 3;
constexpr std::uint16_t kProfileFormatVersion = 1;
constexpr std::uint16_t kKeyStringSlots = 2048;
constexpr std::size_t kKeyPageCount = 4;
constexpr std::size_t kKeyPageEntries = 512;
constexpr std::size_t kExtraKeysPerBank = 9;
constexpr std::size_t kExtraKeyBank0Entry = 256;
constexpr std::size_t kExtraKeyBank1Entry = 265;
constexpr std::uint16_t kExtraKeyBank0Id = 0x0301;
constexpr std::uint16_t kExtraKeyBank1Id = 0x1301;

struct ProfileFileHeader {
    std::uint16_t magic;
    std::uint16_t headerSize;
    std::uint16_t profileCount;
    std::uint16_t version;
    std::uint32_t totalSize; // image + macro records + string pool, in bytes
    std::uint16_t slotCount;
    std::uint16_t macroCount;
    std::uint32_t poolSize;
    std::uint32_t reserved20;
    std::uint32_t reserved24;
    std::uint16_t reserved28;
    std::uint8_t flag;     // 0 or 1; the program always writes 0
    std::uint8_t checksum; // sum of bytes 0-30 modulo 256
};

struct KeyPage {
    KeyEntry entries[kKeyPageEntries];
};

struct ConfigImage {
    ProfileFileHeader header;
    std::uint8_t deviceInfo[32];
    KeyPage pages[kKeyPageCount];
};

constexpr std::size_t kConfigImageSize = 32832;

static_assert(std::endian::native == std::endian::little,
              "the image is stored by copying its bytes; a big-endian port needs conversions");
static_assert(sizeof(ProfileFileHeader) == 32);
static_assert(offsetof(ProfileFileHeader, totalSize) == 8);
static_assert(offsetof(ProfileFileHeader, poolSize) == 16);
static_assert(offsetof(ProfileFileHeader, flag) == 30);
static_assert(sizeof(KeyPage) == 8192);
static_assert(offsetof(ConfigImage, pages) == 64);
static_assert(sizeof(ConfigImage) == kConfigImageSize);

// Sum of header bytes 0-30 modulo 256.
std::uint8_t HeaderChecksum(const ProfileFileHeader& header);

// Rewrites all 32 header bytes for the given contents, the checksum last.
void RefreshHeader(ConfigImage& image, std::uint16_t macroCount, std::uint32_t poolSize,
                   std::uint8_t flag);

// Writes the fixed DeviceInfoBlock values.
void FillDeviceInfoBlock(ConfigImage& image);

// Puts a page back to its empty state: every entry zero, then the extra keys' ids when asked.
void ClearKeyPage(KeyPage& page, bool withExtraKeyIds);

// A new default image: header for no macros and no texts, the DeviceInfoBlock, all pages zero
// except the extra keys' ids in page 0.
std::unique_ptr<ConfigImage> CreateDefaultImage(std::uint8_t flag = 0);

} // namespace brindle
