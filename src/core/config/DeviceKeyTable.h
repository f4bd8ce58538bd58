// The keyboard's own key table for one profile: 126 three-byte key descriptors (kind, byte 1,
// byte 2) in the keyboard's position order, 378 bytes, exactly as they travel on the wire.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace brindle {

constexpr std::size_t kDeviceKeyPositions = 126;
constexpr std::size_t kDeviceKeyTableSize = kDeviceKeyPositions * 3; // 378 bytes

using DeviceKeyTable = std::array<std::uint8_t, kDeviceKeyTableSize>;

} // namespace brindle
