// KeyboardMemory over the keyboard's report protocol.
#pragma once

#include <cstddef>
#include <functional>

#include "core/config/KeyboardMemory.h"

namespace brindle {

class DeviceProtocol;

// What a one-shot writer (brindlectl) learns from the keyboard before it converts anything, as the
// connection does when the keyboard arrives: its own factory table (the built-in one when it
// cannot be read) and its macro capacity (settings byte 11 x 128; 0 when unreadable).
struct KeyboardFacts {
    DeviceKeyTable factory{};
    bool factoryRead = false;
    std::size_t macroCapacity = 0;
    bool settingsRead = false;
};
KeyboardFacts ReadKeyboardFacts(DeviceProtocol& protocol);

class DeviceKeyboardMemory : public KeyboardMemory {
public:
    // `capacity` gives the macro capacity the connection learnt from the settings block.
    DeviceKeyboardMemory(DeviceProtocol& protocol, std::function<std::size_t()> capacity)
        : protocol_(protocol), capacity_(std::move(capacity)) {}

    int ActiveProfile() override;
    std::size_t MacroCapacity() override { return capacity_ ? capacity_() : 0; }
    int BeginTransfer() override;
    int EndTransfer() override;
    int ReadKeyTable(DeviceKeyTable& out, int profile) override;
    int WriteKeyTable(const DeviceKeyTable& table, int profile) override;
    int ReadMacroArea(std::uint8_t* out, std::size_t count) override;
    int WriteMacroArea(const std::uint8_t* data, std::size_t count) override;

private:
    DeviceProtocol& protocol_;
    std::function<std::size_t()> capacity_;
};

} // namespace brindle
