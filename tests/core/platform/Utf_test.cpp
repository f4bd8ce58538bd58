#include "core/platform/Utf.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"A\u00e9\u4e2d\U0001F600z";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(text), "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
}

TEST(Utf, BrokenInputBecomesReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"\xC3", u"\uFFFD"},                     // truncated at the end
        {"\xC0\x80", u"\uFFFD\uFFFD"},           // overlong NUL
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate
        {"a\xFFz", u"a\uFFFDz"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << c.bytes;
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

} // namespace
} // namespace brindle
