// The shape of a skinned window, computed from its mask picture.
#pragma once

#include <cstdint>
#include <vector>

namespace brindle {

struct RegionRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const RegionRect&, const RegionRect&) = default;
};

// A 32-bit picture, 0x00RRGGBB per pixel (the top byte is ignored), row by row from the top.
struct PixelGrid {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // pixels from one row to the next
};

// Scans each row from the top for runs of pixels that are kept, that is whose red, green and blue
// are not all inside [transparent, transparent + tolerance] (per channel, capped at 255), and
// returns one rectangle of height 1 per run, in row order and left to right. The union of the
// rectangles is the window's shape; white with tolerance 0 cuts out exactly the white pixels, so
// an all-white mask gives no rectangle at all.
std::vector<RegionRect> BuildMaskRegion(const PixelGrid& grid, std::uint32_t transparent = 0xFFFFFF,
                                        std::uint8_t tolerance = 0);

} // namespace brindle
