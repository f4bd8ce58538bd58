// The string pool of a profile file: the texts of the launch-program and text-block keys, each
// NUL-terminated UTF-16, back to back; a key entry of those types holds its text's byte offset.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/config/ConfigImage.h"
#include "core/config/KeyStringTable.h"

namespace brindle {

// Builds a pool of the table's total size: slots in order, a slot whose entry has a text type and
// whose text still fits is copied to the next even offset and its entry's payload set to that
// offset. Texts of entries of other types leave their room at the end of the pool zero.
std::vector<std::uint8_t> PackTextPool(ConfigImage& image, const KeyStringTable& texts);

// Fills the table from a pool: every text-type entry of the four pages gets the text at its
// payload offset (rounded down to even). An offset or a terminator outside the pool gives an
// empty slot; nothing outside `pool` is read.
void UnpackTextPool(const ConfigImage& image, std::span<const std::uint8_t> pool,
                    KeyStringTable& texts);

} // namespace brindle
