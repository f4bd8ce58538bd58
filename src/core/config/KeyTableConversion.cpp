#include "core/config/KeyTableConversion.h"

#include "core/keys/KeyTables.h"
#include "core/keys/MacroList.h"

namespace brindle {

namespace {

DeviceKeyDescriptor At(const DeviceKeyTable& table, std::size_t position) {
    return {table[position * 3], table[position * 3 + 1], table[position * 3 + 2]};
}

void Put(DeviceKeyTable& table, std::size_t position, DeviceKeyDescriptor d) {
    table[position * 3] = d.kind;
    table[position * 3 + 1] = d.byte1;
    table[position * 3 + 2] = d.byte2;
}

} // namespace

void DeviceTableToPage(KeyPage& page, const DeviceKeyTable& deviceTable,
                       const DeviceKeyTable& factory) {
    ClearKeyPage(page, true);
    for (std::size_t k = 0; k < kDeviceKeyPositions; ++k) {
        const DeviceKeyDescriptor f = At(factory, k);
        const DeviceKeyDescriptor d = At(deviceTable, k);
        if (d == f)
            continue;
        const KeyCode key = DescriptorToKeyCode(f);
        if (key == kNoKey)
            continue;
        KeyEntry& e = page.entries[KeyCodeToIndex(key)];
        e.type = kKeyDisabled;
        e.payload = 0;
        if (d.kind == kDescriptorMacro) {
            if (d.byte1 == kMacroPlay) {
                e.type = kKeyPlayMacro;
                e.payload = d.byte2 + 1u; // macro ids are list positions plus one
            } else if (d.byte1 == kMacroStop) {
                e.type = kKeyStopMacro;
            } else if (d.byte1 == kMacroFunction) {
                e.type = kKeyFunction;
                e.payload = d.byte2;
            }
        } else if (d.kind == kDescriptorConsumer) {
            const std::uint16_t usage = static_cast<std::uint16_t>(d.byte1 | (d.byte2 << 8));
            for (std::size_t i = 0; i < kMediaUsages.size(); ++i) {
                if (kMediaUsages[i] == usage) {
                    e.type = kKeyMediaKey;
                    e.payload = static_cast<std::uint32_t>(i);
                    break;
                }
            }
        } else if (d.kind == kDescriptorKeyboard && d.byte1 == kKeyboardUsage) {
            const KeyCode code = UsageToKeyCode(kUsagePageKeyboard, d.byte2);
            if (code != kNoKey) {
                e.type = kKeySingleKey;
                e.payload = code;
            }
        } else if (d.kind == kDescriptorKeyboard && d.byte1 == kKeyboardModifier) {
            e.type = kKeySingleKey;
            e.payload = ModifierBitToKeyCode(d.byte2);
        }
    }
}

void PageToDeviceTable(const KeyPage& page, DeviceKeyTable& deviceTable,
                       const DeviceKeyTable& factory, const MacroList& macros) {
    deviceTable = factory;
    for (std::size_t k = 0; k < kDeviceKeyPositions; ++k) {
        const DeviceKeyDescriptor f = At(factory, k);
        const KeyCode key = DescriptorToKeyCode(f);
        if (key == kNoKey)
            continue;
        const KeyEntry& e = page.entries[KeyCodeToIndex(key)];
        DeviceKeyDescriptor d = f;
        switch (e.type) {
        case kKeyDisabled:
        case kKeyTextBlock: // the text stays in the image and in files; the key sends nothing
            d = {};
            break;
        case kKeySingleKey: {
            const KeyCode code = static_cast<KeyCode>(e.payload);
            if (const std::uint8_t bit = KeyCodeToModifierBit(code); bit != 0) {
                d = {kDescriptorKeyboard, kKeyboardModifier, bit};
            } else {
                const HidUsage usage = KeyCodeToUsage(code);
                const std::uint8_t byte =
                    usage.page == kUsagePageKeyboard ? static_cast<std::uint8_t>(usage.usage) : 0;
                d = {kDescriptorKeyboard, kKeyboardUsage, byte};
            }
            break;
        }
        case kKeyPlayMacro:
            d = {kDescriptorMacro, kMacroPlay,
                 static_cast<std::uint8_t>(
                     MacroPositionOfId(macros, static_cast<std::uint16_t>(e.payload & 0xFFFF)))};
            break;
        case kKeyStopMacro:
            d = {kDescriptorMacro, kMacroStop, 0};
            break;
        case kKeyMediaKey:
            if (e.payload < kMediaUsages.size()) {
                const std::uint16_t usage = kMediaUsages[e.payload];
                d = {kDescriptorConsumer, static_cast<std::uint8_t>(usage & 0xFF),
                     static_cast<std::uint8_t>(usage >> 8)};
            } else {
                d = {}; // a damaged file: an index past the media list sends nothing
            }
            break;
        case kKeyFunction:
            d = {kDescriptorMacro, kMacroFunction, static_cast<std::uint8_t>(e.payload & 0xFF)};
            break;
        default: // 0 default and 3 launch program keep the factory function
            break;
        }
        Put(deviceTable, k, d);
    }
}

} // namespace brindle
