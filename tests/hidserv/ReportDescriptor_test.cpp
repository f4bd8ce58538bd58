#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "hidserv/ReportDescriptor.h"

namespace brindle {
namespace {

// The keyboard's vendor interface: page 0xFF1C, usage 0x92, report id 4, 63 bytes each way.
const std::vector<uint8_t> kControl = {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04,
                                       0x09, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
                                       0x95, 0x3F, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};

struct DescriptorCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool ok;
    std::vector<HidUsage> collections;
    bool reportIds;
};

class ReportDescriptorTest : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(ReportDescriptorTest, Parse_givesTopLevelUsagesOrRefuses) {
    const DescriptorCase& c = GetParam();
    ReportDescriptor d;
    std::string problem;
    EXPECT_EQ(c.ok, ReportDescriptor::Parse(c.bytes, d, &problem)) << problem;
    if (c.ok) {
        EXPECT_EQ(c.collections, d.collections);
        EXPECT_EQ(c.reportIds, d.reportIds);
    } else {
        EXPECT_FALSE(problem.empty());
        EXPECT_TRUE(d.collections.empty());
    }
}

std::vector<uint8_t> Cut(std::vector<uint8_t> v, size_t drop) {
    v.resize(v.size() - drop);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportDescriptorTest,
    ::testing::Values(
        DescriptorCase{"control", kControl, true, {{0xFF1C, 0x0092}}, true},
        // Consumer control and system control in one interface, no report ids.
        DescriptorCase{"twoCollections",
                       {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x10, 0x81, 0x00,
                        0xC0, 0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x81, 0x00, 0xC0},
                       true,
                       {{0x000C, 0x0001}, {0x0001, 0x0080}},
                       false},
        // A 4-byte usage carries its own page; the page item after it does not change it.
        DescriptorCase{"extendedUsage",
                       {0x0B, 0x89, 0x00, 0x08, 0x00, 0x05, 0x01, 0xA1, 0x01, 0xC0},
                       true,
                       {{0x0008, 0x0089}},
                       false},
        // Only the outermost collection counts; a long item is skipped whole; push/pop
        // restores the page.
        DescriptorCase{"nestedLongPushPop",
                       {0x05, 0x0C, 0xA4, 0x05, 0x01, 0xB4, 0x09, 0x01, 0xA1, 0x01, 0xFE,
                        0x02, 0x10, 0xC0, 0xC0, 0x09, 0x05, 0xA1, 0x02, 0xC0, 0xC0},
                       true,
                       {{0x000C, 0x0001}},
                       false},
        DescriptorCase{"empty", {}, false, {}, false},
        DescriptorCase{"truncatedItem", Cut(kControl, 25), false, {}, false},
        DescriptorCase{"truncatedFourByteItem", {0x0B, 0x89, 0x00}, false, {}, false},
        DescriptorCase{"truncatedLongItem", {0xFE, 0x10, 0x01, 0x00}, false, {}, false},
        DescriptorCase{"longItemHeaderCut", {0xFE}, false, {}, false},
        DescriptorCase{"collectionNotClosed", Cut(kControl, 1), false, {}, false},
        DescriptorCase{"endWithoutOpen", {0x09, 0x01, 0xC0}, false, {}, false},
        DescriptorCase{"popWithoutPush", {0xB4, 0x09, 0x01, 0xA1, 0x01, 0xC0}, false, {}, false},
        DescriptorCase{"noCollection", {0x05, 0x0C, 0x09, 0x01}, false, {}, false},
        DescriptorCase{"collectionWithoutUsage", {0x05, 0x0C, 0xA1, 0x01, 0xC0}, false, {}, false},
        DescriptorCase{
            "reportIdZero", {0x09, 0x01, 0xA1, 0x01, 0x85, 0x00, 0xC0}, false, {}, false}),
    [](const ::testing::TestParamInfo<DescriptorCase>& info) { return info.param.name; });

TEST(ReportDescriptorLimits, DeepNestingAndOversize_refused) {
    std::vector<uint8_t> deep;
    for (int i = 0; i <= ReportDescriptor::kMaxDepth; ++i)
        deep.insert(deep.end(), {0x09, 0x01, 0xA1, 0x01});
    for (int i = 0; i <= ReportDescriptor::kMaxDepth; ++i)
        deep.push_back(0xC0);
    ReportDescriptor d;
    EXPECT_FALSE(ReportDescriptor::Parse(deep, d));

    std::vector<uint8_t> big(ReportDescriptor::kMaxSize + 1, 0x00); // Input items of size 0
    big.insert(big.begin(), {0x09, 0x01, 0xA1, 0x01});
    EXPECT_FALSE(ReportDescriptor::Parse(big, d));
}

} // namespace
} // namespace brindle
