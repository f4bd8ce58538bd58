#include "core/app/InstanceListener.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "TempFolder.h"

namespace brindle {
namespace {

using testing::TempFolder;

TEST(InstanceListener, Delivery_handlerSeesMessageAndSenderGetsAnswer) {
    TempFolder runtime;
    InstanceListener listener;
    InstanceMessage seen;
    ASSERT_TRUE(listener.Start(runtime.Path(), [&](const InstanceMessage& m) {
        seen = m;
        return int64_t{-7};
    }));
    struct stat st {};
    ASSERT_EQ(stat(InstanceListener::MailboxFolder(runtime.Path()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    auto answer = DeliverInstanceMessage(runtime.Path(), getpid(),
                                         {kMessageOpen, kCodeOpen, 0x1122334455667788});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, -7);
    EXPECT_EQ(seen.message, kMessageOpen);
    EXPECT_EQ(seen.wParam, kCodeOpen);
    EXPECT_EQ(seen.lParam, 0x1122334455667788);

    EXPECT_FALSE(DeliverInstanceMessage(runtime.Path(), getpid() + 100000, {}).has_value());
    listener.Stop();
    EXPECT_FALSE(std::filesystem::exists(InstanceListener::SocketPath(runtime.Path(), getpid())));
    EXPECT_FALSE(DeliverInstanceMessage(runtime.Path(), getpid(), {}).has_value());
}

TEST(InstanceListener, GarbageOrSilentSender_ignoredAndListenerKeepsServing) {
    TempFolder runtime;
    InstanceListener listener;
    listener.requestTimeoutMs = 20;
    std::atomic<int> calls{0};
    ASSERT_TRUE(listener.Start(runtime.Path(), [&](const InstanceMessage&) {
        ++calls;
        return int64_t{1};
    }));
    const std::string path = InstanceListener::SocketPath(runtime.Path(), getpid());
    for (int bytes : {0, 3, 17}) {
        int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        char junk[17] = {};
        if (bytes > 0)
            send(fd, junk, bytes, 0);
        char answer[8];
        EXPECT_LE(recv(fd, answer, sizeof answer, 0), 0) << bytes; // closed without an answer
        close(fd);
    }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(DeliverInstanceMessage(runtime.Path(), getpid(), {kMessageKill, kCodeKill, 0}), 1);
    EXPECT_EQ(calls, 1);
}

TEST(InstanceListener, LeftoverSocketFile_replacedOnStart) {
    TempFolder runtime;
    std::filesystem::create_directories(InstanceListener::MailboxFolder(runtime.Path()));
    std::ofstream(InstanceListener::SocketPath(runtime.Path(), 4242)) << "stale";
    InstanceListener listener;
    ASSERT_TRUE(listener.Start(
        runtime.Path(), [](const InstanceMessage&) { return int64_t{5}; }, 4242));
    EXPECT_EQ(DeliverInstanceMessage(runtime.Path(), 4242, {}), 5);
}

TEST(InstanceListener, MailboxFolderOpenToOthers_deliveryRefused) {
    TempFolder runtime;
    InstanceListener listener;
    ASSERT_TRUE(listener.Start(runtime.Path(), [](const InstanceMessage&) { return int64_t{1}; }));
    chmod(InstanceListener::MailboxFolder(runtime.Path()).c_str(), 0777);
    EXPECT_FALSE(DeliverInstanceMessage(runtime.Path(), getpid(), {}).has_value());
}

} // namespace
} // namespace brindle
