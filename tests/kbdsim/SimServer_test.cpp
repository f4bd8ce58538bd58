// The virtual keyboard on its socket, seen by plain clients, and the brindle-kbdsim program.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/device/Report.h"
#include "kbdsim/SimServer.h"
#include "kbdsim/SimWire.h"
#include "kbdsim/VirtualKeyboard.h"

extern char** environ;

namespace brindle {
namespace {

constexpr int kSafetyMs = 5000; // only reached when something is broken

class Client {
public:
    explicit Client(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~Client() { ::close(fd_); }
    bool connected() const { return connected_; }

    void Send(SimMessageType type, SimInterface iface, std::span<const uint8_t> body) {
        const auto m = EncodeSimMessage(type, iface, body);
        ASSERT_EQ(static_cast<ssize_t>(m.size()), ::send(fd_, m.data(), m.size(), MSG_NOSIGNAL));
    }
    void SendReport(const Report& r) { Send(SimMessageType::kReport, SimInterface::kControl, r); }

    struct Message {
        SimMessageType type;
        SimInterface iface;
        std::vector<uint8_t> body;
    };

    // The next message; nullopt when none came within `ms`.
    std::optional<Message> Next(int ms = kSafetyMs) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return std::nullopt;
        std::vector<uint8_t> buffer(kSimMaxMessage);
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (n <= 0)
            return std::nullopt;
        auto m = DecodeSimMessage(std::span<const uint8_t>(buffer.data(), size_t(n)));
        if (!m)
            return std::nullopt;
        return Message{m->type, m->iface, std::vector<uint8_t>(m->body.begin(), m->body.end())};
    }
    // The body of the next message of that type; other messages are skipped.
    std::optional<std::vector<uint8_t>> NextOf(SimMessageType type, int ms = kSafetyMs) {
        for (;;) {
            auto m = Next(ms);
            if (!m)
                return std::nullopt;
            if (m->type == type)
                return m->body;
        }
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

class SimServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kbdsim-server-XXXXXX";
        dir_ = mkdtemp(pattern);
        socket_ = dir_ + "/kbd.sock";
        server_ = std::make_unique<SimServer>(keyboard_, socket_);
        ASSERT_TRUE(server_->Start());
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
    std::string socket_;
    VirtualKeyboard keyboard_;
    std::unique_ptr<SimServer> server_;
};

TEST_F(SimServerTest, Connect_firstMessageIsDeviceState) {
    Client c(socket_);
    ASSERT_TRUE(c.connected());
    auto state = c.NextOf(SimMessageType::kDeviceState);
    ASSERT_TRUE(state);
    EXPECT_EQ((std::vector<uint8_t>{1}), *state);
}

TEST_F(SimServerTest, TwoClients_answerToSenderNotificationsToAll) {
    Client a(socket_), b(socket_);
    ASSERT_TRUE(a.NextOf(SimMessageType::kDeviceState));
    ASSERT_TRUE(b.NextOf(SimMessageType::kDeviceState));
    a.SendReport(MakeRequest(cmd::kReadSettings, 44, 0));
    auto answer = a.NextOf(SimMessageType::kReport);
    ASSERT_TRUE(answer);
    EXPECT_EQ(cmd::kReadSettings, (*answer)[3]);

    ASSERT_EQ(0, server_->RunCommand("bank-key"));
    for (Client* c : {&a, &b}) {
        auto m = c->Next();
        ASSERT_TRUE(m);
        EXPECT_EQ(SimMessageType::kReport, m->type); // b got no answer of a's before this
        EXPECT_EQ(SimInterface::kConsumer, m->iface);
        EXPECT_EQ((std::vector<uint8_t>{3, 0xFF, 0x02}), m->body);
    }
}

TEST_F(SimServerTest, BootMode_leavesUntilPlugged) {
    Client c(socket_);
    ASSERT_TRUE(c.NextOf(SimMessageType::kDeviceState));
    Report boot{};
    boot[0] = 4;
    boot[3] = boot[4] = cmd::kBootMode;
    c.SendReport(boot);
    auto state = c.NextOf(SimMessageType::kDeviceState);
    ASSERT_TRUE(state);
    EXPECT_EQ(0, (*state)[0]);
    EXPECT_FALSE(server_->Attached());

    keyboard_.ClearLog();
    c.SendReport(MakeRequest(cmd::kBeginTransfer, 0, 0)); // nobody is there to receive it
    ASSERT_EQ(0, server_->RunCommand("plug"));
    state = c.NextOf(SimMessageType::kDeviceState);
    ASSERT_TRUE(state);
    EXPECT_EQ(1, (*state)[0]);
    EXPECT_TRUE(keyboard_.Log().empty());
}

TEST_F(SimServerTest, UnplugAfterAndDelay_overTheSocket) {
    Client c(socket_);
    ASSERT_TRUE(c.NextOf(SimMessageType::kDeviceState));
    ASSERT_EQ(0, server_->RunCommand("fault delay 20"));
    ASSERT_EQ(0, server_->RunCommand("fault unplug-after 2"));
    c.SendReport(MakeRequest(cmd::kBeginTransfer, 0, 0));
    ASSERT_TRUE(c.NextOf(SimMessageType::kReport)); // late, but it comes
    ASSERT_EQ(0, server_->RunCommand("fault delay 0"));
    c.SendReport(MakeRequest(cmd::kEndTransfer, 0, 0));
    auto m = c.Next();
    ASSERT_TRUE(m);
    EXPECT_EQ(SimMessageType::kReport, m->type);
    m = c.Next();
    ASSERT_TRUE(m);
    EXPECT_EQ(SimMessageType::kDeviceState, m->type);
    EXPECT_EQ((std::vector<uint8_t>{0}), m->body);
}

struct CtlCase {
    const char* line;
    int status;
    const char* output; // a piece the output must contain
};

class SimCtlTest : public SimServerTest, public ::testing::WithParamInterface<CtlCase> {};

TEST_P(SimCtlTest, Command_statusAndOutput) {
    const CtlCase& c = GetParam();
    std::string out;
    EXPECT_EQ(c.status, server_->RunCommand(c.line, &out)) << out;
    EXPECT_NE(std::string::npos, out.find(c.output)) << out;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SimCtlTest,
    ::testing::Values(
        CtlCase{"dump settings", 0, "0000: 00 00 00 00 00 00 00 00 00 00 00 40 01 02"},
        CtlCase{"dump keytable 2", 0, "0170: 60 02 02 5d 02 02 5a 02 02 63"},
        CtlCase{"dump factory", 0, "0000: 05 00 00"}, CtlCase{"dump macros", 0, "0000: aa 55 10"},
        CtlCase{"dump bank", 0, "0000: 05 02"}, CtlCase{"dump lighting", 0, "0000: 01 05 02 ff"},
        CtlCase{"dump colours", 0, "05f0:"}, CtlCase{"profile-key 2", 0, ""},
        CtlCase{"backlight on", 0, ""}, CtlCase{"fault status fe 3", 0, ""},
        CtlCase{"fault clear", 0, ""}, CtlCase{"clear-log", 0, ""},
        CtlCase{"dump keytable 3", 2, "profile 0, 1 or 2"},
        CtlCase{"profile-key 5", 2, "profile 0, 1 or 2"}, CtlCase{"backlight dim", 2, "on or off"},
        CtlCase{"fault status aa 1", 2, "unknown fault"}, CtlCase{"fault drop", 2, "unknown fault"},
        CtlCase{"dump nothing", 2, "unknown area"}, CtlCase{"frobnicate", 2, "unknown command"},
        CtlCase{"", 2, "no command"}));

TEST_F(SimServerTest, UnpluggedKeyboard_keysFail) {
    ASSERT_EQ(0, server_->RunCommand("unplug"));
    std::string out;
    EXPECT_EQ(1, server_->RunCommand("bank-key", &out));
    EXPECT_NE(std::string::npos, out.find("unplugged"));
}

TEST_F(SimServerTest, SecondServerOnSamePath_refused) {
    VirtualKeyboard other;
    SimServer second(other, socket_);
    std::string problem;
    EXPECT_FALSE(second.Start(&problem));
    EXPECT_NE(std::string::npos, problem.find("already listens"));
}

// The program itself: serve, ctl, persistence across a restart.
class KbdsimProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kbdsim-program-XXXXXX";
        dir_ = mkdtemp(pattern);
        socket_ = dir_ + "/kbd.sock";
        state_ = dir_ + "/state.bin";
    }
    void TearDown() override {
        StopServe();
        std::filesystem::remove_all(dir_);
    }

    static std::string Program() { return std::string(BRINDLE_BIN_DIR) + "/brindle-kbdsim"; }

    // Starts `serve` and waits for its "listening" line.
    void StartServe() {
        int out[2];
        ASSERT_EQ(0, ::pipe(out));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> args = {Program(), "serve", "--socket",   socket_,
                                         "--state", state_,  "--capacity", "2"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ASSERT_EQ(0, posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ));
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        FILE* f = fdopen(out[0], "r");
        char line[512] = {};
        ASSERT_NE(nullptr, std::fgets(line, sizeof(line), f));
        std::fclose(f);
        EXPECT_NE(nullptr, std::strstr(line, "listening on"));
    }
    void StopServe() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        pid_ = -1;
    }
    int Ctl(const std::string& command, std::string* out) {
        const std::string line = Program() + " ctl --socket " + socket_ + " " + command + " 2>&1";
        FILE* p = ::popen(line.c_str(), "r");
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), p)) > 0)
            out->append(buffer, n);
        const int status = ::pclose(p);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string dir_, socket_, state_;
    pid_t pid_ = -1;
};

TEST_F(KbdsimProgramTest, ServeAndCtl_memoryPersistsAcrossRestart) {
    std::string out;
    EXPECT_EQ(1, Ctl("dump settings", &out));
    EXPECT_NE(std::string::npos, out.find("no virtual keyboard listens on " + socket_));

    StartServe();
    out.clear();
    EXPECT_EQ(0, Ctl("profile-key 1", &out)) << out;
    out.clear();
    EXPECT_EQ(0, Ctl("dump settings", &out));
    EXPECT_NE(std::string::npos, out.find("0000: 00 00 00 00 00 00 00 00 00 00 01 02")) << out;
    out.clear();
    EXPECT_EQ(2, Ctl("fault sideways", &out));
    StopServe();
    EXPECT_TRUE(std::filesystem::exists(state_));
    EXPECT_FALSE(std::filesystem::exists(socket_));

    StartServe();
    out.clear();
    EXPECT_EQ(0, Ctl("dump settings", &out));
    EXPECT_NE(std::string::npos, out.find("0000: 00 00 00 00 00 00 00 00 00 00 01 02")) << out;
    out.clear();
    EXPECT_EQ(0, Ctl("dump macros", &out));
    EXPECT_NE(std::string::npos, out.find("00f0:")) << out; // 2 units = 256 bytes
    EXPECT_EQ(std::string::npos, out.find("0100:")) << out;
}

} // namespace
} // namespace brindle
