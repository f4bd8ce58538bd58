#include "core/platform/UserFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFolder.h"
#include "core/platform/AtomicFile.h"

namespace brindle {
namespace {

using test::ScopedEnv;
using test::TestFolder;

TEST(UserFolders, DocumentsFolder_followsUserDirsElseHomeDocuments) {
    TestFolder dir;
    ScopedEnv home("HOME", dir.Path().c_str());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").c_str());
    EXPECT_EQ(DocumentsFolder(), dir / "Documents");

    struct Case {
        std::string line;
        std::string expected;
    };
    const Case cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"", dir / "Dokumente"},
        {"  XDG_DOCUMENTS_DIR=\"/srv/docs/\"", "/srv/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"", dir / "My \"Docs\""},
        {"# XDG_DOCUMENTS_DIR=\"/commented\"", dir / "Documents"},
        {"XDG_DOCUMENTS_DIR=\"relative/path\"", dir / "Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOMEWORK\"", dir / "Documents"},
    };
    for (const Case& c : cases) {
        dir.Write("cfg/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n" + c.line + "\n");
        EXPECT_EQ(DocumentsFolder(), c.expected) << c.line;
    }
}

TEST(UserFolders, XdgVariables_usedOnlyWhenAbsolute) {
    ScopedEnv home("HOME", "/home/u");
    ScopedEnv config("XDG_CONFIG_HOME", "relative");
    ScopedEnv data("XDG_DATA_HOME", "/d/");
    EXPECT_EQ(ConfigHome(), "/home/u/.config");
    EXPECT_EQ(DataHome(), "/d");
    setenv("XDG_CONFIG_HOME", "/c", 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ConfigHome(), "/c");
    EXPECT_EQ(DataHome(), "/home/u/.local/share");
}

TEST(UserFolders, RuntimeDir_withoutXdg_isAPrivateFolderOfOurs) {
    ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const std::string folder = RuntimeDir();
    EXPECT_EQ(folder, "/tmp/brindle-" + std::to_string(getuid()));
    chmod(folder.c_str(), 0755); // loosened by someone: tightened again
    EXPECT_EQ(RuntimeDir(), folder);
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(RuntimeDir(), "/run/user/1000");
}

TEST(AtomicFile, WriteFileAtomically_replacesWholeOrNothing) {
    TestFolder dir;
    const std::string path = dir / "sub/one/file.bin";
    const std::vector<uint8_t> first = {1, 2, 3};
    ASSERT_TRUE(WriteFileAtomically(path, first));
    EXPECT_EQ(dir.Read("sub/one/file.bin"), std::string("\1\2\3"));
    const std::vector<uint8_t> second(100000, 7);
    ASSERT_TRUE(WriteFileAtomically(path, second));
    EXPECT_EQ(dir.Read("sub/one/file.bin"), std::string(100000, '\7'));

    // A target that cannot be replaced: a folder, or a path below a file.
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(WriteFileAtomically(dir / "folder", first));
    EXPECT_FALSE(WriteFileAtomically(dir / "sub/one/file.bin/x", first));
    EXPECT_EQ(dir.Read("sub/one/file.bin"), std::string(100000, '\7'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "sub/one"), {}), 1);
    EXPECT_TRUE(MakeFolders(dir / "a/b/c"));
    EXPECT_FALSE(MakeFolders(dir / "sub/one/file.bin/d"));
}

} // namespace
} // namespace brindle
