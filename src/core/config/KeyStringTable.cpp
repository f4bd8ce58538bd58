#include "core/config/KeyStringTable.h"

#include "core/config/ConfigImage.h"

namespace brindle {

KeyStringTable::KeyStringTable() : slots_(kKeyStringSlots) {}

std::uint32_t KeyStringTable::SlotSize(std::size_t slot) const {
    const std::u16string& text = slots_.at(slot);
    return text.empty() ? 0 : static_cast<std::uint32_t>((text.size() + 1) * 2);
}

void KeyStringTable::SetText(std::size_t slot, std::u16string_view text) {
    const std::size_t nul = text.find(u'\0');
    if (nul != std::u16string_view::npos)
        text = text.substr(0, nul);
    total_ -= SlotSize(slot);
    slots_.at(slot).assign(text);
    total_ += SlotSize(slot);
}

void KeyStringTable::Clear() {
    for (std::u16string& s : slots_)
        std::u16string().swap(s);
    total_ = 0;
}

} // namespace brindle
