#include "core/skin/MaskRegion.h"

#include <algorithm>

namespace brindle {

std::vector<RegionRect> BuildMaskRegion(const PixelGrid& grid, std::uint32_t transparent,
                                        std::uint8_t tolerance) {
    std::vector<RegionRect> rects;
    if (grid.pixels == nullptr || grid.width <= 0 || grid.height <= 0 || grid.stride < grid.width) {
        return rects;
    }
    int low[3];
    int high[3];
    for (int c = 0; c < 3; ++c) {
        low[c] = static_cast<int>((transparent >> (16 - 8 * c)) & 0xFF);
        high[c] = std::min(255, low[c] + tolerance);
    }
    auto cutOut = [&](std::uint32_t pixel) {
        for (int c = 0; c < 3; ++c) {
            int v = static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF);
            if (v < low[c] || v > high[c]) {
                return false;
            }
        }
        return true;
    };
    for (int y = 0; y < grid.height; ++y) {
        const std::uint32_t* row = grid.pixels + static_cast<std::ptrdiff_t>(y) * grid.stride;
        int x = 0;
        while (x < grid.width) {
            while (x < grid.width && cutOut(row[x])) {
                ++x;
            }
            int start = x;
            while (x < grid.width && !cutOut(row[x])) {
                ++x;
            }
            if (x > start) {
                rects.push_back(RegionRect{start, y, x - start, 1});
            }
        }
    }
    return rects;
}

} // namespace brindle
