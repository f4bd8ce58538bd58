#include "core/skin/MaskRegion.h"

#include <gtest/gtest.h>

#include <string>

namespace brindle {
namespace {

// A mask drawn as text: '#' black (kept), '.' white (cut out).
struct Mask {
    std::vector<std::uint32_t> pixels;
    PixelGrid grid;
};

Mask FromRows(const std::vector<std::string>& rows) {
    Mask m;
    const int width = static_cast<int>(rows.front().size());
    for (const std::string& row : rows) {
        for (char c : row) {
            m.pixels.push_back(c == '#' ? 0xFF000000u : 0xFFFFFFFFu);
        }
    }
    m.grid = PixelGrid{m.pixels.data(), width, static_cast<int>(rows.size()), width};
    return m;
}

TEST(MaskRegion_Build, allWhite_noRectangles) {
    Mask m = FromRows({"....", "....", "...."});
    EXPECT_TRUE(BuildMaskRegion(m.grid).empty());
}

TEST(MaskRegion_Build, shapeWithHole_oneRunPerStretchInRowOrder) {
    Mask m = FromRows({".##.", "#..#", "####"});
    std::vector<RegionRect> expected = {
        {1, 0, 2, 1},
        {0, 1, 1, 1},
        {3, 1, 1, 1},
        {0, 2, 4, 1},
    };
    EXPECT_EQ(BuildMaskRegion(m.grid), expected);
}

TEST(MaskRegion_Build, nearWhite_keptUnlessToleranceCoversIt) {
    std::vector<std::uint32_t> pixels = {0xFFFFFF, 0xFEFFFF, 0xFFFFFF};
    PixelGrid grid{pixels.data(), 3, 1, 3};
    EXPECT_EQ(BuildMaskRegion(grid), (std::vector<RegionRect>{{1, 0, 1, 1}}));
    // Transparent colour near the top: the tolerance is capped at 255, so it cannot wrap and
    // make black transparent.
    EXPECT_TRUE(BuildMaskRegion(grid, 0xFEFEFE, 10).empty());
    std::vector<std::uint32_t> black = {0x000000};
    EXPECT_EQ(BuildMaskRegion(PixelGrid{black.data(), 1, 1, 1}, 0xFEFEFE, 10).size(), 1u);
}

TEST(MaskRegion_Build, strideWiderThanRow_paddingIgnored) {
    // Two rows of two pixels each, with one black padding pixel per row that must not count.
    std::vector<std::uint32_t> pixels = {0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0x0};
    PixelGrid grid{pixels.data(), 2, 2, 3};
    EXPECT_EQ(BuildMaskRegion(grid), (std::vector<RegionRect>{{1, 0, 1, 1}, {0, 1, 1, 1}}));
}

TEST(MaskRegion_Build, invalidGrid_noRectangles) {
    std::vector<std::uint32_t> pixels(4, 0);
    EXPECT_TRUE(BuildMaskRegion(PixelGrid{nullptr, 2, 2, 2}).empty());
    EXPECT_TRUE(BuildMaskRegion(PixelGrid{pixels.data(), 2, 2, 1}).empty());
    EXPECT_TRUE(BuildMaskRegion(PixelGrid{pixels.data(), 0, 2, 2}).empty());
}

} // namespace
} // namespace brindle
