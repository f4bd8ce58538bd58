#include "core/config/KeyboardWriter.h"

#include <cstring>
#include <new>

#include "core/config/KeyTableConversion.h"
#include "core/config/TextPool.h"
#include "core/keys/MacroBlock.h"

namespace brindle {

KeyboardWriteResult WriteKeyboard(ConfigContext& working, KeyboardMemory& keyboard,
                                  const DeviceKeyTable& factory, bool allProfiles) {
    KeyboardWriteResult out;
    std::vector<std::uint8_t> area;
    std::vector<int> profiles;
    std::vector<DeviceKeyTable> tables;
    bool namesDropped = false;
    {
        std::lock_guard<std::mutex> guard(working.lock);
        if (!working.image)
            return out;
        const MacroBlockSize sizes = MacroBlockSizes(working.macros);
        const std::size_t capacity = keyboard.MacroCapacity();
        if (sizes.withoutNames > capacity) {
            out.messages.emplace_back(kMacroOverTextKey);
            return out;
        }
        namesDropped = sizes.withNames > capacity;
        area = EncodeMacroBlock(working.macros, !namesDropped);
        if (area.empty()) { // larger than the area's 16-bit size field
            out.messages.emplace_back(kMacroOverTextKey);
            return out;
        }
        if (allProfiles) {
            profiles = {0, 1, 2};
        } else {
            const int active = keyboard.ActiveProfile();
            if (active < 0 || active > 2)
                return out; // which page to send is unknown: send nothing
            profiles = {active};
        }
        tables.resize(profiles.size());
        for (std::size_t i = 0; i < profiles.size(); ++i)
            PageToDeviceTable(working.image->pages[profiles[i]], tables[i], factory,
                              working.macros);
    }
    keyboard.BeginTransfer();
    bool written = keyboard.WriteMacroArea(area.data(), area.size()) == 1;
    for (std::size_t i = 0; i < profiles.size(); ++i)
        written = (keyboard.WriteKeyTable(tables[i], profiles[i]) == 1) && written;
    keyboard.EndTransfer();
    if (namesDropped)
        out.messages.emplace_back(kProfileSpaceTightTextKey);
    out.result = written ? 1 : 0;
    return out;
}

KeyboardWriteResult SnapshotForWrite(ConfigContexts& contexts, KeyboardMemory& keyboard,
                                     const DeviceKeyTable& factory, bool allProfiles) {
    ConfigContext& live = contexts.live;
    ConfigContext& working = contexts.working;
    if (!live.image)
        return {};
    try {
        std::lock_guard<std::mutex> guard(working.lock);
        ReleaseContents(working);
        // Pool offsets go into the live image, as a save puts them there.
        PackTextPool(*live.image, live.texts);
        working.image = std::make_unique<ConfigImage>();
        std::memcpy(working.image.get(), live.image.get(), sizeof(ConfigImage));
        RefreshHeader(*working.image, live.MacroCount(), live.TotalTextSize(), 0);
        working.macros = live.macros;
        working.texts = live.texts;
    } catch (const std::bad_alloc&) {
        std::lock_guard<std::mutex> guard(working.lock);
        ReleaseContents(working);
        return {};
    }
    return WriteKeyboard(working, keyboard, factory, allProfiles);
}

void ShowCollectedMessages(const std::vector<std::u16string>& keys, const TextLookup& lookUp,
                           UserMessages& messages) {
    for (const std::u16string& key : keys)
        messages.ShowInfo(lookUp ? lookUp(key) : key);
}

} // namespace brindle
