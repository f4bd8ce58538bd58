// The texts of the launch-program and text-block keys: 2048 slots, slot s belonging to entry
// s % 512 of key page s / 512. A slot owns its text; its size counts the terminator
// ((length + 1) * 2 bytes), an empty slot has size 0. The table keeps the sum of all sizes, which
// is the size of the string pool a profile file stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

class KeyStringTable {
public:
    KeyStringTable();

    static std::size_t SlotOf(std::size_t page, std::size_t entry) { return page * 512 + entry; }

    const std::u16string& Text(std::size_t slot) const { return slots_.at(slot); }
    // Bytes the slot takes in a pool, terminator included; 0 for an empty slot.
    std::uint32_t SlotSize(std::size_t slot) const;
    // Stores a copy of `text` (cut at an embedded NUL, which would end it in a pool).
    void SetText(std::size_t slot, std::u16string_view text);
    void ClearSlot(std::size_t slot) { SetText(slot, {}); }
    void Clear();
    std::uint32_t TotalSize() const { return total_; }

private:
    std::vector<std::u16string> slots_;
    std::uint32_t total_ = 0;
};

} // namespace brindle
