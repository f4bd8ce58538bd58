#include "core/skin/ButtonLook.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

struct LookCase {
    ButtonStateFlags flags;
    ButtonPicture picture;
};

class ChooseButtonPictureTest : public ::testing::TestWithParam<LookCase> {};

TEST_P(ChooseButtonPictureTest, firstMatchWins) {
    EXPECT_EQ(ChooseButtonPicture(GetParam().flags), GetParam().picture);
}

// Flags: disabled, custom, pressed, hot, selected.
INSTANTIATE_TEST_SUITE_P(
    States, ChooseButtonPictureTest,
    ::testing::Values(LookCase{{false, false, false, false, false}, ButtonPicture::Normal},
                      LookCase{{false, false, false, false, true}, ButtonPicture::Selected},
                      LookCase{{false, false, false, true, true}, ButtonPicture::Hot},
                      LookCase{{false, false, true, false, true}, ButtonPicture::Pressed},
                      LookCase{{true, false, false, false, true}, ButtonPicture::Disabled},
                      LookCase{{true, true, true, true, true}, ButtonPicture::Disabled},
                      LookCase{{false, true, true, true, true}, ButtonPicture::Custom}));

TEST(ButtonLook_CaptionColour, selectedUsesHotColourCustomUsesNormal) {
    EXPECT_EQ(CaptionColourFor(ButtonPicture::Selected), CaptionColour::Hot);
    EXPECT_EQ(CaptionColourFor(ButtonPicture::Custom), CaptionColour::Normal);
    EXPECT_EQ(CaptionColourFor(ButtonPicture::Disabled), CaptionColour::Disabled);
    EXPECT_EQ(CaptionColourFor(ButtonPicture::Pressed), CaptionColour::Pressed);
}

TEST(ButtonLook_CentreRotatedText, quarterTurn_centredWithTruncatedProducts) {
    // Text 40 wide and 10 high turned by 90 degrees. The angle comes from 3.1415927, a little
    // more than pi, so h sin a is 9.99... and truncates to 9, and w sin a to 39.
    TextBox out = CentreRotatedText(TextBox{0, 0, 30, 100}, 40, 10, 900);
    EXPECT_EQ(out.left, 11);   // (30 - 0) / 2 - 9 / 2
    EXPECT_EQ(out.bottom, 70); // 100 - (100 - 39) / 2 + 0 / 2
    EXPECT_EQ(out.top, 0);
    EXPECT_EQ(out.right, 30);
    // A box too low for the turned text keeps its bottom edge.
    out = CentreRotatedText(TextBox{0, 0, 100, 30}, 40, 10, 900);
    EXPECT_EQ(out.left, 46);
    EXPECT_EQ(out.bottom, 30);
}

TEST(ButtonLook_CentreRotatedText, noTurn_centresHorizontallyAndOnBaseline) {
    TextBox out = CentreRotatedText(TextBox{10, 0, 110, 30}, 40, 10, 0);
    EXPECT_EQ(out.left, 40);   // 10 + (100 - 40) / 2
    EXPECT_EQ(out.bottom, 20); // 30 - 15 + 5
}

} // namespace
} // namespace brindle
