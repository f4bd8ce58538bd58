// What the configuration code needs of the keyboard: its key tables, its macro area, the active
// profile and the room it has for macros. DeviceKeyboardMemory serves it from the real protocol;
// anything else (a test double) can stand in.
//
// Operations return the keyboard's result codes: 1 success, 0 or below failure.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/config/DeviceKeyTable.h"

namespace brindle {

class KeyboardMemory {
public:
    virtual ~KeyboardMemory() = default;

    // 0-2, or -1 when the keyboard cannot tell.
    virtual int ActiveProfile() = 0;
    // Bytes the keyboard has for its macro area; 0 while its settings are unknown.
    virtual std::size_t MacroCapacity() = 0;

    virtual int BeginTransfer() = 0;
    virtual int EndTransfer() = 0;
    virtual int ReadKeyTable(DeviceKeyTable& out, int profile) = 0;
    virtual int WriteKeyTable(const DeviceKeyTable& table, int profile) = 0;
    // count bytes from the start of the macro area.
    virtual int ReadMacroArea(std::uint8_t* out, std::size_t count) = 0;
    virtual int WriteMacroArea(const std::uint8_t* data, std::size_t count) = 0;
};

} // namespace brindle
