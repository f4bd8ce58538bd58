#include "core/skin/SkinLayout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace brindle {
namespace {

class SkinLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("skinlayout_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const std::string& text) {
        std::string path = (dir_ / "Main.ini").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path dir_;
};

constexpr const char* kFixture = "[screen]\n"
                                 "main=back.jpg\n"
                                 "Link = https://example.org/x \n"
                                 "[ButtonInfo]\n"
                                 "control_ok=10,20,30,40,comment\n"
                                 "KEY_01E=1,1,40,40\n"
                                 "KEY_030=\n"
                                 "[BUTTONINFO2]\n"
                                 "DOWN_ARROW_LEFT1=12,16,1,1\n";

TEST_F(SkinLayoutTest, Rect_sectionAndKeyIgnoreCase) {
    SkinLayout layout = SkinLayout::Load(Write(kFixture));
    EXPECT_TRUE(layout.FileFound());
    EXPECT_EQ(layout.Rect("CONTROL_OK"), (SkinRect{10, 20, 30, 40}));
    EXPECT_EQ(layout.Rect("buttoninfo", "Control_Ok"), (SkinRect{10, 20, 30, 40}));
    EXPECT_EQ(layout.Rect("BUTTONINFO2", "DOWN_ARROW_LEFT1"), (SkinRect{12, 16, 1, 1}));
}

TEST_F(SkinLayoutTest, Rect_missingOrEmptyKey_isParked) {
    SkinLayout layout = SkinLayout::Load(Write(kFixture));
    EXPECT_TRUE(layout.Rect("CONTROL_CANCEL").IsParked());
    EXPECT_TRUE(layout.Rect("KEY_030").IsParked());
    // An explicit 1,1 parks too, however large the button.
    EXPECT_TRUE(layout.Rect("KEY_01E").IsParked());
}

TEST_F(SkinLayoutTest, Screen_maskAbsent_backgroundIsItsOwnMask) {
    SkinLayout layout = SkinLayout::Load(Write(kFixture));
    EXPECT_EQ(layout.MainPicture(), "back.jpg");
    EXPECT_EQ(layout.MaskPicture(), "back.jpg");
    EXPECT_EQ(layout.Link("https://fallback"), "https://example.org/x");
}

TEST_F(SkinLayoutTest, Screen_emptyValuesCountAsMissing) {
    SkinLayout layout = SkinLayout::Load(Write("[SCREEN]\nMain=\nMask=\nLink=\n"));
    EXPECT_EQ(layout.MainPicture(), "");
    EXPECT_EQ(layout.MaskPicture(), "");
    EXPECT_EQ(layout.Link("https://fallback"), "https://fallback");
    layout = SkinLayout::Load(Write("[SCREEN]\nMain=a.bmp\nMask=m.bmp\n"));
    EXPECT_EQ(layout.MaskPicture(), "m.bmp");
}

TEST_F(SkinLayoutTest, Load_missingFile_everyKeyMissing) {
    SkinLayout layout = SkinLayout::Load((dir_ / "none.ini").string());
    EXPECT_FALSE(layout.FileFound());
    EXPECT_TRUE(layout.Rect("CONTROL_OK").IsParked());
    EXPECT_EQ(layout.MainPicture(), "");
}

TEST_F(SkinLayoutTest, Screen_longValue_cutTo2047Characters) {
    SkinLayout layout = SkinLayout::Load(Write("[SCREEN]\nMain=" + std::string(3000, 'a') + "\n"));
    EXPECT_EQ(layout.MainPicture().size(), 2047u);
}

} // namespace
} // namespace brindle
