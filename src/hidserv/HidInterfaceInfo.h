// One attached keyboard interface as the backends see it, and how a device filter selects it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "HidServ.h"

namespace brindle {

struct HidUsage {
    uint16_t page = 0;
    uint16_t usage = 0;
    bool operator==(const HidUsage&) const = default;
};

struct HidInterfaceInfo {
    uint32_t node = 0; // the backend's own handle for the interface
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::vector<HidUsage> collections; // usage page and usage of each top-level collection
    bool reportIds = false;            // input reports start with a report id byte
    std::string path;                  // e.g. /dev/hidraw3; for messages only
};

// Filter flag bits: 1 vendor, 2 product, 4 usage page, 8 usage. An interface with several
// top-level collections matches when one of them does.
inline bool FilterMatches(const HidDeviceFilter& filter, const HidInterfaceInfo& info) {
    if ((filter.flags & 1u) && filter.vendorId != info.vendorId)
        return false;
    if ((filter.flags & 2u) && filter.productId != info.productId)
        return false;
    if ((filter.flags & 12u) == 0)
        return true;
    for (const HidUsage& c : info.collections) {
        if ((filter.flags & 4u) && filter.usagePage != c.page)
            continue;
        if ((filter.flags & 8u) && filter.usage != c.usage)
            continue;
        return true;
    }
    return false;
}

} // namespace brindle
