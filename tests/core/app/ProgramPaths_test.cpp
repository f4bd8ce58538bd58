#include "core/app/ProgramPaths.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace brindle {
namespace {

TEST(ProgramPaths, FromExecutable_everyPathFollowsTheProgramFolder) {
    const ProgramPaths p = ProgramPaths::FromExecutable("/opt/brindle/brindle");
    EXPECT_EQ(p.programFileName, "brindle");
    EXPECT_EQ(p.programFolder, "/opt/brindle/");
    EXPECT_EQ(p.helpFolder, "/opt/brindle/Help/");
    EXPECT_EQ(p.mainSkinFile, "/opt/brindle/Skins/Main.ini");
    EXPECT_EQ(p.skinFolder, "/opt/brindle/Skins/");
    EXPECT_EQ(p.userLightingPrefix, "/opt/brindle/Skins/UserDengColor_");
    EXPECT_EQ(p.profileSkinFile, "/opt/brindle/Skins/Profile.ini");
    EXPECT_EQ(p.updateSkinFile, "/opt/brindle/Skins/UpdateDlg.ini");
    EXPECT_EQ(p.compositeSkinFile, "/opt/brindle/Skins/Composite.ini");
    for (const std::string* folder :
         {&p.profileSkinFolder, &p.updateSkinFolder, &p.compositeSkinFolder})
        EXPECT_EQ(*folder, p.skinFolder);
    EXPECT_EQ(p.packageFolder, "/opt/brindle/Package");
    EXPECT_EQ(p.companionProgram, "/opt/brindle/DiRadave");

    // A relative path counts from the current folder.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const ProgramPaths relative = ProgramPaths::FromExecutable("bin/brindle");
    EXPECT_EQ(relative.programFolder, std::string(cwd) + (cwd[1] ? "/" : "") + "bin/");
}

TEST(ProgramPaths, ForRunningProgram_usesThisTestsOwnExecutable) {
    const ProgramPaths p = ProgramPaths::ForRunningProgram();
    EXPECT_EQ(p.programFileName, "core_app_tests");
    EXPECT_EQ(p.mainSkinFile, p.programFolder + "Skins/Main.ini");
    EXPECT_EQ(p.programFolder.front(), '/');
}

} // namespace
} // namespace brindle
