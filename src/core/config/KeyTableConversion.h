// Conversion between a key page of the configuration image and the keyboard's own key table.
#pragma once

#include "core/config/ConfigImage.h"
#include "core/config/DeviceKeyTable.h"
#include "core/keys/MacroRecord.h"

namespace brindle {

// Fills `page` from a key table read from the keyboard. The page is cleared first and gets the
// extra keys' ids; a position whose descriptor equals the factory one keeps the default (type 0),
// anything the image cannot express becomes disabled (type 1).
void DeviceTableToPage(KeyPage& page, const DeviceKeyTable& deviceTable,
                       const DeviceKeyTable& factory);

// Fills `deviceTable` from `page`, starting from the factory table. Macro entries point at the
// list position of their macro id in `macros` (position 0 when no macro has the id).
void PageToDeviceTable(const KeyPage& page, DeviceKeyTable& deviceTable,
                       const DeviceKeyTable& factory, const MacroList& macros);

} // namespace brindle
