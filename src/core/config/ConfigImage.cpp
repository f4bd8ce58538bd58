#include "core/config/ConfigImage.h"

#include <cstring>

namespace brindle {

std::uint8_t HeaderChecksum(const ProfileFileHeader& header) {
    unsigned char bytes[sizeof header];
    std::memcpy(bytes, &header, sizeof header);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 31; ++i)
        sum += bytes[i];
    return static_cast<std::uint8_t>(sum);
}

void RefreshHeader(ConfigImage& image, std::uint16_t macroCount, std::uint32_t poolSize,
                   std::uint8_t flag) {
    ProfileFileHeader& h = image.header;
    h.magic = kProfileFileMagic;
    h.headerSize = kProfileHeaderSize;
    h.profileCount = kImageProfileCount;
    h.version = kProfileFormatVersion;
    // 16512 = sizeof(MacroRecord); the u32 field wraps only for pools no file can hold.
    h.totalSize = static_cast<std::uint32_t>(kConfigImageSize + macroCount * 16512u + poolSize);
    h.slotCount = kKeyStringSlots;
    h.macroCount = macroCount;
    h.poolSize = poolSize;
    h.reserved20 = 0;
    h.reserved24 = 0;
    h.reserved28 = 0;
    h.flag = flag;
    h.checksum = HeaderChecksum(h);
}

void FillDeviceInfoBlock(ConfigImage& image) {
    // 'K' 'H' ' ' 0, u32 0x8020, u16 4, u16 0x0200, u32 0, u16 vendor 0x0C45, u16 product 0x5204,
    // u32 0x000E1C4F, u32 0, u32 0.
    static const std::uint8_t kBlock[32] = {
        0x4B, 0x48, 0x20, 0x00, 0x20, 0x80, 0x00, 0x00, 0x04, 0x00, 0x00,
        0x02, 0x00, 0x00, 0x00, 0x00, 0x45, 0x0C, 0x04, 0x52, 0x4F, 0x1C,
        0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    std::memcpy(image.deviceInfo, kBlock, sizeof kBlock);
}

void ClearKeyPage(KeyPage& page, bool withExtraKeyIds) {
    std::memset(&page, 0, sizeof page);
    if (!withExtraKeyIds)
        return;
    for (std::size_t n = 0; n < kExtraKeysPerBank; ++n) {
        page.entries[kExtraKeyBank0Entry + n].extraKeyId =
            static_cast<std::uint16_t>(kExtraKeyBank0Id + n);
        page.entries[kExtraKeyBank1Entry + n].extraKeyId =
            static_cast<std::uint16_t>(kExtraKeyBank1Id + n);
    }
}

std::unique_ptr<ConfigImage> CreateDefaultImage(std::uint8_t flag) {
    auto image = std::make_unique<ConfigImage>();
    std::memset(image.get(), 0, sizeof(ConfigImage));
    RefreshHeader(*image, 0, 0, flag);
    FillDeviceInfoBlock(*image);
    // Only page 0 carries the extra keys' ids in a new image; converted pages all get them.
    ClearKeyPage(image->pages[0], true);
    return image;
}

} // namespace brindle
