#include "core/skin/SkinKeys.h"

namespace brindle {

std::string KeyButtonSkinKey(std::uint8_t keyIndex) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key = "KEY_0";
    key += kHex[keyIndex >> 4];
    key += kHex[keyIndex & 0x0F];
    return key;
}

std::string ExtraKeySkinKey(int extraKey) {
    return "FUNC_G" + std::to_string(extraKey + 1);
}

std::string ArrowFrameSkinKey(std::string_view stem, int frame) {
    return std::string(stem) + std::to_string(frame);
}

} // namespace brindle
