#include "core/keys/MacroBlock.h"

#include <algorithm>

#include "core/keys/KeyTables.h"

namespace brindle {
namespace {

constexpr std::uint16_t kControlDelayMask = 0x0FFF;
constexpr int kControlKindShift = 12;
constexpr std::uint16_t kControlKindMask = 0x7;
constexpr std::uint16_t kControlPressed = 0x8000;

std::size_t EntrySize(const MacroRecord& macro, bool withNames) {
    std::size_t size = kMacroEntryHeaderSize + kPackedActionSize * MacroActionCount(macro);
    if (withNames)
        size += 2 * MacroName(macro).size();
    return size;
}

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U16(std::uint16_t v) {
        out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void PutU16(std::size_t at, std::uint16_t v) {
        out_[at] = static_cast<std::uint8_t>(v & 0xFF);
        out_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }

private:
    std::vector<std::uint8_t>& out_;
};

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint16_t PackDelay(std::uint32_t delayMs) {
    return static_cast<std::uint16_t>(std::min(delayMs / kMacroDelayUnitMs, kMaxPackedDelayUnits));
}

std::u16string DefaultName(std::u16string_view prefix, std::size_t position) {
    std::u16string name(prefix);
    for (char c : std::to_string(position + 1))
        name.push_back(static_cast<char16_t>(c));
    return name;
}

} // namespace

MacroBlockSize MacroBlockSizes(std::span<const MacroRecord> macros) {
    MacroBlockSize sizes;
    sizes.withoutNames = kMacroBlockHeaderSize + 2 * macros.size();
    sizes.withNames = sizes.withoutNames;
    for (const MacroRecord& macro : macros) {
        sizes.withoutNames += EntrySize(macro, false);
        sizes.withNames += EntrySize(macro, true);
    }
    return sizes;
}

std::vector<std::uint8_t> EncodeMacroBlock(std::span<const MacroRecord> macros, bool withNames) {
    const MacroBlockSize sizes = MacroBlockSizes(macros);
    const std::size_t total = withNames ? sizes.withNames : sizes.withoutNames;
    if (total > kMaxMacroBlockSize)
        return {};

    std::vector<std::uint8_t> out;
    out.reserve(total);
    Writer w(out);
    w.U16(kMacroBlockMagic);
    w.U16(static_cast<std::uint16_t>(total));
    w.U16(static_cast<std::uint16_t>(macros.size()));
    w.U16(withNames ? 1 : 0);
    out.resize(kMacroBlockHeaderSize + 2 * macros.size(), 0);

    for (std::size_t i = 0; i < macros.size(); ++i) {
        const MacroRecord& macro = macros[i];
        w.PutU16(MacroBlock::kOffsets + 2 * i, static_cast<std::uint16_t>(out.size()));
        const std::size_t count = MacroActionCount(macro);
        const std::u16string name = withNames ? MacroName(macro) : std::u16string();
        w.U16(static_cast<std::uint16_t>(count));
        w.U8(macro.playCount);
        w.U8(static_cast<std::uint8_t>(name.size()));
        for (std::size_t a = 0; a < count; ++a) {
            const MacroAction& action = macro.actions[a];
            const DeviceKeyDescriptor d = KeyCodeToDescriptor(action.keyCode);
            std::uint16_t control = PackDelay(action.delayMs);
            control |= static_cast<std::uint16_t>((d.kind & kControlKindMask) << kControlKindShift);
            if (action.released == kActionPressed)
                control |= kControlPressed;
            w.U16(control);
            w.U8(d.byte1);
            w.U8(d.byte2);
        }
        for (char16_t c : name)
            w.U16(c);
    }
    return out;
}

MacroList DecodeMacroBlock(std::span<const std::uint8_t> area, std::size_t capacity,
                           std::u16string_view prefix) {
    MacroList macros;
    std::size_t end = std::min(area.size(), capacity);
    if (end < kMacroBlockHeaderSize || ReadU16(area, MacroBlock::kMagic) != kMacroBlockMagic)
        return macros;
    end = std::min<std::size_t>(end, ReadU16(area, MacroBlock::kSize));
    const std::size_t stated = ReadU16(area, MacroBlock::kCount);
    // Offsets that do not fit inside the area belong to no macro.
    const std::size_t tableRoom =
        end >= kMacroBlockHeaderSize ? (end - kMacroBlockHeaderSize) / 2 : 0;
    const std::size_t count = std::min({stated, tableRoom, kMaxMacros});
    const std::size_t entriesStart = MacroBlock::kOffsets + 2 * stated;
    macros.reserve(count);

    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = ReadU16(area, MacroBlock::kOffsets + 2 * i);
        if (at < entriesStart || at + kMacroEntryHeaderSize > end)
            break;
        const std::size_t actionCount = ReadU16(area, at);
        const std::size_t nameLength = area[at + 3];
        const std::size_t actionsAt = at + kMacroEntryHeaderSize;
        const std::size_t nameAt = actionsAt + kPackedActionSize * actionCount;
        if (nameAt + 2 * nameLength > end)
            break;

        MacroRecord& macro = macros.emplace_back(); // value-initialised: all zero
        macro.playCount = area[at + 2];
        macro.id = static_cast<std::uint16_t>(i + 1);
        macro.actionCount = static_cast<std::uint16_t>(std::min(actionCount, kMaxMacroActions));
        for (std::size_t a = 0; a < macro.actionCount; ++a) {
            const std::size_t p = actionsAt + kPackedActionSize * a;
            const std::uint16_t control = ReadU16(area, p);
            const DeviceKeyDescriptor d{
                static_cast<std::uint8_t>((control >> kControlKindShift) & kControlKindMask),
                area[p + 2], area[p + 3]};
            MacroAction& action = macro.actions[a];
            action.delayMs = (control & kControlDelayMask) * kMacroDelayUnitMs;
            action.keyCode = DescriptorToKeyCode(d);
            action.released = (control & kControlPressed) ? kActionPressed : kActionReleased;
        }
        std::u16string name;
        for (std::size_t c = 0; c < nameLength; ++c) {
            const char16_t unit = static_cast<char16_t>(ReadU16(area, nameAt + 2 * c));
            if (unit == u'\0')
                break;
            name.push_back(unit);
        }
        SetMacroName(macro, name.empty() ? DefaultName(prefix, i) : name);
    }
    return macros;
}

std::u16string NewMacroPrefix(const TextLookup& lookup) {
    return lookup ? lookup(kNewMacroPrefixKey) : std::u16string();
}

} // namespace brindle
