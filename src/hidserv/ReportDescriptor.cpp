#include "hidserv/ReportDescriptor.h"

namespace brindle {

namespace {

// Item types (bits 2-3 of the prefix) and the tags this parser looks at.
constexpr uint8_t kTypeMain = 0;
constexpr uint8_t kTypeGlobal = 1;
constexpr uint8_t kTypeLocal = 2;
constexpr uint8_t kMainCollection = 0xA;
constexpr uint8_t kMainEndCollection = 0xC;
constexpr uint8_t kGlobalUsagePage = 0x0;
constexpr uint8_t kGlobalReportId = 0x8;
constexpr uint8_t kGlobalPush = 0xA;
constexpr uint8_t kGlobalPop = 0xB;
constexpr uint8_t kLocalUsage = 0x0;
constexpr uint8_t kLongItemPrefix = 0xFE;

bool Fail(std::string* problem, const char* why, size_t at) {
    if (problem != nullptr)
        *problem = std::string(why) + " at byte " + std::to_string(at);
    return false;
}

} // namespace

bool ReportDescriptor::Parse(std::span<const uint8_t> bytes, ReportDescriptor& out,
                             std::string* problem) {
    if (bytes.empty())
        return Fail(problem, "empty descriptor", 0);
    if (bytes.size() > kMaxSize)
        return Fail(problem, "descriptor longer than 4096 bytes", kMaxSize);

    ReportDescriptor result;
    uint16_t usagePage = 0;
    std::vector<uint16_t> pushedPages;
    // The first usage of the current main item, with its page (a 4-byte usage names its own).
    bool haveUsage = false;
    bool usageHasPage = false;
    HidUsage firstUsage;
    int depth = 0;

    size_t at = 0;
    while (at < bytes.size()) {
        const size_t itemStart = at;
        const uint8_t prefix = bytes[at++];
        if (prefix == kLongItemPrefix) {
            // Long item: data size, tag, then the data; no defined long item matters here.
            if (bytes.size() - at < 2)
                return Fail(problem, "truncated long item", itemStart);
            const size_t size = bytes[at];
            at += 2;
            if (bytes.size() - at < size)
                return Fail(problem, "truncated long item", itemStart);
            at += size;
            continue;
        }
        const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;
        if (bytes.size() - at < size)
            return Fail(problem, "truncated item", itemStart);
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        at += size;

        switch (type) {
        case kTypeMain:
            if (tag == kMainCollection) {
                if (depth >= kMaxDepth)
                    return Fail(problem, "collections nested too deeply", itemStart);
                // Every top-level collection names an interface (they are application collections
                // in any descriptor a kernel accepts). A short usage takes the usage page in
                // force at the main item.
                if (depth == 0) {
                    if (!haveUsage)
                        return Fail(problem, "top-level collection without a usage", itemStart);
                    result.collections.push_back(
                        usageHasPage ? firstUsage : HidUsage{usagePage, firstUsage.usage});
                }
                ++depth;
            } else if (tag == kMainEndCollection) {
                if (depth == 0)
                    return Fail(problem, "end of a collection that was never opened", itemStart);
                --depth;
            }
            haveUsage = false; // local items apply to one main item only
            break;
        case kTypeGlobal:
            if (tag == kGlobalUsagePage) {
                usagePage = static_cast<uint16_t>(value);
            } else if (tag == kGlobalReportId) {
                if (value == 0)
                    return Fail(problem, "report id 0", itemStart);
                result.reportIds = true;
            } else if (tag == kGlobalPush) {
                if (static_cast<int>(pushedPages.size()) >= kMaxPushDepth)
                    return Fail(problem, "too many pushes", itemStart);
                pushedPages.push_back(usagePage);
            } else if (tag == kGlobalPop) {
                if (pushedPages.empty())
                    return Fail(problem, "pop without push", itemStart);
                usagePage = pushedPages.back();
                pushedPages.pop_back();
            }
            break;
        case kTypeLocal:
            if (tag == kLocalUsage && !haveUsage) {
                haveUsage = true;
                usageHasPage = size == 4;
                firstUsage = HidUsage{static_cast<uint16_t>(value >> 16),
                                      static_cast<uint16_t>(value & 0xFFFF)};
            }
            break;
        default:
            return Fail(problem, "reserved item type", itemStart);
        }
    }
    if (depth != 0)
        return Fail(problem, "collection not closed", bytes.size());
    if (result.collections.empty())
        return Fail(problem, "no top-level collection", bytes.size());
    out = std::move(result);
    return true;
}

} // namespace brindle
