#include "core/skin/SkinRect.h"

#include <gtest/gtest.h>

#include "core/skin/SkinKeys.h"

namespace brindle {
namespace {

struct RectCase {
    const char* value;
    SkinRect expected;
};

class ParseSkinRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(ParseSkinRectTest, ParsesLikeFourDecimalFields) {
    EXPECT_EQ(ParseSkinRect(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseSkinRectTest,
    ::testing::Values(RectCase{"10,20,30,40", {10, 20, 30, 40}},
                      // Text after the fourth number is ignored, as in the default "1,1,1,1,x".
                      RectCase{"10,20,30,40,anything at all", {10, 20, 30, 40}},
                      RectCase{"1,1,1,1,x", {1, 1, 1, 1}}, RectCase{" 5,\t6, 7, 8", {5, 6, 7, 8}},
                      RectCase{"-4,+3,0,2", {-4, 3, 0, 2}},
                      RectCase{"99999999999,1,2,3", {2147483647, 1, 2, 3}},
                      // Anything short of four numbers is treated as missing.
                      RectCase{"10,20,30", {1, 1, 1, 1}}, RectCase{"10 ,20,30,40", {1, 1, 1, 1}},
                      RectCase{"", {1, 1, 1, 1}}, RectCase{"a,b,c,d", {1, 1, 1, 1}},
                      RectCase{"10,20,30,", {1, 1, 1, 1}}));

TEST(SkinRect_IsParked, xAndYOneParkWhateverTheSize) {
    EXPECT_TRUE(ParseSkinRect("1,1,500,300").IsParked());
    EXPECT_FALSE(ParseSkinRect("1,2,30,30").IsParked());
    EXPECT_FALSE(ParseSkinRect("2,1,30,30").IsParked());
}

TEST(SkinRect_ParseSkinRect, valueLongerThanBuffer_onlyFirstCharactersCount) {
    // The fourth number starts inside the buffer and runs past its end: it is cut there.
    std::string value = "1,2,3," + std::string(kSkinRectMaxChars - 7, '0') + "45";
    EXPECT_EQ(ParseSkinRect(value).h, 4);
}

TEST(SkinKeys_Names, formatKeyIndexExtraKeyAndArrowFrame) {
    EXPECT_EQ(KeyButtonSkinKey(0x1E), "KEY_01E");
    EXPECT_EQ(KeyButtonSkinKey(0xCF), "KEY_0CF");
    EXPECT_EQ(KeyButtonSkinKey(0x00), "KEY_000");
    EXPECT_EQ(ExtraKeySkinKey(0), "FUNC_G1");
    EXPECT_EQ(ExtraKeySkinKey(8), "FUNC_G9");
    EXPECT_EQ(ArrowFrameSkinKey("DOWN_ARROW_LEFT", 1), "DOWN_ARROW_LEFT1");
}

} // namespace
} // namespace brindle
