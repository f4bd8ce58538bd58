#include "core/app/ProcessSearch.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"

extern char** environ;

namespace brindle {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// A fake /proc: one folder per process id with an exe link to the named file.
void AddProcess(const TempFolder& proc, int pid, const std::string& exe) {
    fs::create_directories(proc / std::to_string(pid));
    fs::create_symlink(exe, proc / (std::to_string(pid) + "/exe"));
}

TEST(ProcessSearch, FakeProcTree_findsLowestMatchingIdIgnoringCase) {
    TempFolder proc;
    AddProcess(proc, 300, "/usr/lib/brindle/Brindle");
    AddProcess(proc, 25, "/opt/other/brindle-helper");
    AddProcess(proc, 120, "/home/u/copy/BRINDLE (deleted)");
    AddProcess(proc, 7, "/usr/bin/bash");
    fs::create_directories(proc / "self");
    ProcessSearchOptions options;
    options.procRoot = proc.Path();
    EXPECT_EQ(FindProcessByFileName("brindle", options), 120);
    EXPECT_EQ(FindProcessByFileName("BASH", options), 7);
    EXPECT_EQ(FindProcessByFileName("brindle-kbdsim", options), 0);
    EXPECT_EQ(FindProcessByFileName("", options), 0);

    options.excludePid = 120; // the caller itself never counts
    EXPECT_EQ(FindProcessByFileName("brindle", options), 300);
    options.uid = getuid() + 1; // another user's processes are never seen
    EXPECT_EQ(FindProcessByFileName("brindle", options), 0);
}

TEST(ProcessSearch, RealChildProcess_foundByItsFileNameButNeverSelf) {
    TempFolder folder;
    const std::string program = folder / "BrindleProbeSleeper";
    fs::copy_file("/bin/sleep", program);
    fs::permissions(program, fs::perms::owner_all);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("30"), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);
    EXPECT_EQ(FindProcessByFileName("brindleprobesleeper"), child);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(FindProcessByFileName("brindleprobesleeper"), 0);

    const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
    EXPECT_NE(FindProcessByFileName(self), getpid());
}

} // namespace
} // namespace brindle
