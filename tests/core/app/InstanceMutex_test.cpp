#include "core/app/InstanceMutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"

namespace brindle {
namespace {

using testing::TempFolder;

TEST(InstanceMutex, SecondOpenWhileHeld_existsUntilClosed) {
    TempFolder folder;
    InstanceMutex first(folder.Path());
    InstanceMutex second(folder.Path());
    EXPECT_EQ(first.OpenOrCreate(), InstanceMutex::OpenResult::Created);
    EXPECT_EQ(first.Path(), folder / "QT72R35B");
    EXPECT_EQ(second.OpenOrCreate(), InstanceMutex::OpenResult::Existed);
    EXPECT_FALSE(second.Held());
    first.Close();
    first.Close();
    EXPECT_EQ(second.OpenOrCreate(), InstanceMutex::OpenResult::Created);
}

TEST(InstanceMutex, HolderKilled_lockIsFreeAgain) {
    TempFolder folder;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceMutex held(folder.Path());
        char c = held.OpenOrCreate() == InstanceMutex::OpenResult::Created ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    InstanceMutex mine(folder.Path());
    EXPECT_EQ(mine.OpenOrCreate(), InstanceMutex::OpenResult::Existed);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.OpenOrCreate(), InstanceMutex::OpenResult::Created);
    close(ready[0]);
    close(ready[1]);
}

TEST(InstanceMutex, UnusableFolder_failsWithoutHolding) {
    InstanceMutex none("");
    EXPECT_EQ(none.OpenOrCreate(), InstanceMutex::OpenResult::Failed);
    InstanceMutex missing("/nonexistent-brindle-folder");
    EXPECT_EQ(missing.OpenOrCreate(), InstanceMutex::OpenResult::Failed);
    EXPECT_FALSE(missing.Held());
}

} // namespace
} // namespace brindle
