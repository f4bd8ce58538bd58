// The keyboard's factory key table: position by position, the key that sits there and what it
// does by default, as three-byte descriptors (kind, byte 1, byte 2) in the keyboard's order.
#pragma once

#include "core/config/DeviceKeyTable.h"

namespace brindle {

// The copy the program carries until the keyboard's own factory table has been read.
extern const DeviceKeyTable kBuiltInFactoryKeyTable;

// The factory table in use: the built-in copy, or the one read from the attached keyboard.
// Thread-safe; the returned copy stays valid whatever happens afterwards.
class FactoryKeyTable {
public:
    static DeviceKeyTable Current();
    // Replaces the table in use (the device connection, after reading it from the keyboard).
    static void Replace(const DeviceKeyTable& table);
    // Back to the built-in copy (a keyboard that went away, or a test).
    static void ResetToBuiltIn();
};

} // namespace brindle
