// Any byte sequence given to the report descriptor parser: no read past the end, no crash, and a
// successful parse always names at least one collection.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "hidserv/ReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    brindle::ReportDescriptor descriptor;
    std::string problem;
    if (brindle::ReportDescriptor::Parse(std::span<const uint8_t>(data, size), descriptor,
                                         &problem) &&
        descriptor.collections.empty())
        std::abort();
    return 0;
}
