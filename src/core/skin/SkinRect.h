// A control's rectangle as the skin layout files store it: "x,y,w,h" in client pixels.
#pragma once

#include <string>
#include <string_view>

namespace brindle {

struct SkinRect {
    int x = 1;
    int y = 1;
    int w = 1;
    int h = 1;

    // A picture button at (1, 1) is switched off: that is where every key missing from a layout
    // file ends up, whatever its width and height.
    bool IsParked() const { return x == 1 && y == 1; }

    friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

// What a key missing from a layout file reads as. The trailing "x" is text after the fourth
// number, which the parser ignores.
inline constexpr std::string_view kMissingSkinRect = "1,1,1,1,x";

// Longest rectangle value read from a layout file (the value buffer holds 260 characters).
inline constexpr std::size_t kSkinRectMaxChars = 259;

// Parses "x,y,w,h" the way "%d,%d,%d,%d" does: optional blanks and a sign before each number,
// a comma right after each of the first three, anything after the fourth ignored. Numbers beyond
// the int range are clamped. A value with fewer than four numbers gives the parked rectangle
// 1,1,1,1: a half-written entry must not place a control at an arbitrary size.
SkinRect ParseSkinRect(std::string_view value);

std::string FormatSkinRect(const SkinRect& rect);

} // namespace brindle
