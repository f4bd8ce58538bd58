#include "core/config/ConfigImage.h"

#include <cstring>
#include <gtest/gtest.h>

#include "core/config/ConfigContext.h"

namespace brindle {
namespace {

std::vector<std::uint8_t> Bytes(const ConfigImage& image) {
    std::vector<std::uint8_t> b(sizeof image);
    std::memcpy(b.data(), &image, sizeof image);
    return b;
}

TEST(ConfigImage, DefaultImage_headerAndDeviceInfoAreTheFixedBytes) {
    const auto image = CreateDefaultImage(0);
    const std::vector<std::uint8_t> b = Bytes(*image);
    const std::vector<std::uint8_t> expected = {
        // magic, header size, profile count, version, total size 32832 (0x8040)
        0x46, 0x44, 0x20, 0x00, 0x03, 0x00, 0x01, 0x00, 0x40, 0x80, 0x00, 0x00,
        // slots 2048, macro count 0, pool size 0, three zero fields, flag 0, checksum
        0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x76,
        // DeviceInfoBlock
        0x4B, 0x48, 0x20, 0x00, 0x20, 0x80, 0x00, 0x00, 0x04, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x00, 0x45, 0x0C, 0x04, 0x52, 0x4F, 0x1C, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 64), expected);
}

TEST(ConfigImage, DefaultImage_pagesAreZeroExceptExtraKeyIdsOfPageZero) {
    const auto image = CreateDefaultImage(0);
    const std::vector<std::uint8_t> b = Bytes(*image);
    for (std::size_t i = 64; i < b.size(); ++i) {
        const std::size_t page = (i - 64) / 8192, entry = (i - 64) % 8192 / 16, at = (i - 64) % 16;
        std::uint8_t want = 0;
        if (page == 0 && entry >= 256 && entry <= 273 && (at == 2 || at == 3)) {
            const unsigned id = entry < 265 ? 0x0301 + (entry - 256) : 0x1301 + (entry - 265);
            want = static_cast<std::uint8_t>(at == 2 ? id & 0xFF : id >> 8);
        }
        ASSERT_EQ(b[i], want) << "byte " << i;
    }
}

TEST(ConfigImage, RefreshHeader_totalSizeAndChecksumFollowContents) {
    auto image = CreateDefaultImage(0);
    RefreshHeader(*image, 2, 10, 1);
    EXPECT_EQ(image->header.totalSize, 32832u + 2 * 16512 + 10);
    EXPECT_EQ(image->header.macroCount, 2);
    EXPECT_EQ(image->header.poolSize, 10u);
    EXPECT_EQ(image->header.flag, 1);
    const std::vector<std::uint8_t> b = Bytes(*image);
    unsigned sum = 0;
    for (int i = 0; i < 31; ++i)
        sum += b[i];
    EXPECT_EQ(b[31], sum % 256);
}

TEST(ConfigContext, ReleaseContents_freesImageMacrosAndTexts) {
    ConfigContext context;
    InstallDefaultImage(context);
    context.macros.resize(3);
    context.texts.SetText(5, u"calc");
    EXPECT_EQ(context.TotalTextSize(), 10u);
    ReleaseContents(context);
    EXPECT_EQ(context.image, nullptr);
    EXPECT_TRUE(context.macros.empty());
    EXPECT_EQ(context.TotalTextSize(), 0u);
    EXPECT_EQ(context.texts.SlotSize(5), 0u);
}

TEST(KeyStringTable, SizesCountTheTerminatorAndTheTotalFollowsEveryChange) {
    KeyStringTable texts;
    texts.SetText(0, u"ab");
    texts.SetText(2047, u"xyz");
    EXPECT_EQ(texts.SlotSize(0), 6u);
    EXPECT_EQ(texts.TotalSize(), 14u);
    texts.SetText(0, u"abcd");
    EXPECT_EQ(texts.TotalSize(), 18u);
    texts.SetText(2047, std::u16string(u"q\0tail", 6)); // an embedded NUL ends the text
    EXPECT_EQ(texts.Text(2047), u"q");
    texts.ClearSlot(0);
    EXPECT_EQ(texts.TotalSize(), 4u);
}

} // namespace
} // namespace brindle
