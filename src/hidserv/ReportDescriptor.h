// What the device service needs from a HID report descriptor: the usage page and usage of every
// top-level (application) collection, and whether reports carry a report id byte.
//
// The parser checks every item against the end of the buffer and limits nesting, so any byte
// sequence is safe to hand it (the kernel gives at most 4096 bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "hidserv/HidInterfaceInfo.h"

namespace brindle {

struct ReportDescriptor {
    std::vector<HidUsage> collections;
    bool reportIds = false;

    static constexpr size_t kMaxSize = 4096;
    static constexpr int kMaxDepth = 32;     // collection nesting
    static constexpr int kMaxPushDepth = 16; // Push without Pop

    // False, with a reason, for a truncated or malformed descriptor; `out` is then unchanged.
    static bool Parse(std::span<const uint8_t> bytes, ReportDescriptor& out,
                      std::string* problem = nullptr);
};

} // namespace brindle
