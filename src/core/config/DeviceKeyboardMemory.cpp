#include "core/config/DeviceKeyboardMemory.h"

#include "core/config/FactoryKeyTable.h"
#include "core/device/DeviceProtocol.h"

namespace brindle {

static_assert(kKeyTableSize == kDeviceKeyTableSize);

KeyboardFacts ReadKeyboardFacts(DeviceProtocol& protocol) {
    KeyboardFacts facts;
    facts.factory = FactoryKeyTable::Current();
    DeviceKeyTable table{};
    if (protocol.ReadDefaultKeyTable(table.data()) == result::kSuccess) {
        facts.factory = table;
        facts.factoryRead = true;
    }
    std::uint8_t settings[kSettingsBlockSize] = {};
    if (protocol.ReadSettingsBlock(settings) == result::kSuccess) {
        facts.macroCapacity = std::size_t{settings[11]} * 128;
        facts.settingsRead = true;
    }
    return facts;
}

int DeviceKeyboardMemory::ActiveProfile() {
    return protocol_.GetActiveProfile();
}

int DeviceKeyboardMemory::BeginTransfer() {
    return protocol_.BeginTransfer();
}

int DeviceKeyboardMemory::EndTransfer() {
    return protocol_.EndTransfer();
}

int DeviceKeyboardMemory::ReadKeyTable(DeviceKeyTable& out, int profile) {
    return protocol_.ReadKeyTable(out.data(), profile);
}

int DeviceKeyboardMemory::WriteKeyTable(const DeviceKeyTable& table, int profile) {
    return protocol_.WriteKeyTable(table.data(), profile);
}

int DeviceKeyboardMemory::ReadMacroArea(std::uint8_t* out, std::size_t count) {
    return protocol_.ReadMacroArea(out, count);
}

int DeviceKeyboardMemory::WriteMacroArea(const std::uint8_t* data, std::size_t count) {
    return protocol_.WriteMacroArea(data, count);
}

} // namespace brindle
