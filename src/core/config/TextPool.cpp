#include "core/config/TextPool.h"

#include <cstring>
#include <string>

namespace brindle {

std::vector<std::uint8_t> PackTextPool(ConfigImage& image, const KeyStringTable& texts) {
    const std::uint32_t poolSize = texts.TotalSize();
    std::vector<std::uint8_t> pool(poolSize, 0);
    std::uint32_t offset = 0;
    for (std::size_t slot = 0; slot < kKeyStringSlots; ++slot) {
        KeyEntry& entry = image.pages[slot / kKeyPageEntries].entries[slot % kKeyPageEntries];
        if (!KeyEntryHasText(entry.type))
            continue;
        const std::uint32_t size = texts.SlotSize(slot);
        if (size == 0) {
            // An entry without text points past the pool, where no text can be found; left as it
            // was, its old offset would pick up another key's text on the next load.
            entry.payload = poolSize;
            continue;
        }
        const std::uint32_t at = offset & ~1u;
        if (size > poolSize - at)
            continue;
        std::memcpy(pool.data() + at, texts.Text(slot).c_str(), size);
        entry.payload = at;
        offset = at + size;
    }
    return pool;
}

void UnpackTextPool(const ConfigImage& image, std::span<const std::uint8_t> pool,
                    KeyStringTable& texts) {
    texts.Clear();
    for (std::size_t slot = 0; slot < kKeyStringSlots; ++slot) {
        const KeyEntry& entry = image.pages[slot / kKeyPageEntries].entries[slot % kKeyPageEntries];
        if (!KeyEntryHasText(entry.type))
            continue;
        const std::size_t at = entry.payload & ~1u;
        std::u16string text;
        bool terminated = false;
        for (std::size_t i = at; i + 1 < pool.size(); i += 2) {
            const char16_t c = static_cast<char16_t>(pool[i] | (pool[i + 1] << 8));
            if (c == u'\0') {
                terminated = true;
                break;
            }
            text.push_back(c);
        }
        if (terminated)
            texts.SetText(slot, text);
    }
}

} // namespace brindle
