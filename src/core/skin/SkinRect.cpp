#include "core/skin/SkinRect.h"

#include <climits>
#include <cstdint>

namespace brindle {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// One "%d": blanks, an optional sign, at least one digit.
bool ReadNumber(std::string_view text, std::size_t& pos, int& out) {
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') {
        return false;
    }
    std::int64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value <= std::int64_t{INT_MAX} + 1) {
            value = value * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    if (value < INT_MIN) {
        value = INT_MIN;
    }
    out = static_cast<int>(value);
    return true;
}

} // namespace

SkinRect ParseSkinRect(std::string_view value) {
    if (value.size() > kSkinRectMaxChars) {
        value = value.substr(0, kSkinRectMaxChars);
    }
    int numbers[4] = {};
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= value.size() || value[pos] != ',') {
                return SkinRect{};
            }
            ++pos;
        }
        if (!ReadNumber(value, pos, numbers[i])) {
            return SkinRect{};
        }
    }
    return SkinRect{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::string FormatSkinRect(const SkinRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + "," + std::to_string(rect.w) +
           "," + std::to_string(rect.h);
}

} // namespace brindle
