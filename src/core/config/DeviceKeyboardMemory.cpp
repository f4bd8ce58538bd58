#include "core/config/DeviceKeyboardMemory.h"

#include "core/device/DeviceProtocol.h"

namespace brindle {

static_assert(kKeyTableSize == kDeviceKeyTableSize);

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
