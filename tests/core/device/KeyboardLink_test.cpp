// The device link end to end: the device service library from the program folder, brindlectl and
// a brindle-kbdsim process as the keyboard.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "RecorderPort.h"
#include "core/device/DeviceConnection.h"
#include "core/device/DeviceProtocol.h"

extern char** environ;

namespace brindle {
namespace {

namespace fs = std::filesystem;
using testing::RecorderPort;

const std::string kBin = BRINDLE_BIN_DIR;

struct Outcome {
    int exit = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Listening(const std::string& path) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, path.c_str(), sizeof(a.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
    close(fd);
    return ok;
}

// The keyboard process and everything the tests run against it, shared by the whole suite (the
// device service library is one per process and keeps the socket it was started with).
class KeyboardLinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!fs::exists(kBin + "/brindle-kbdsim") || !fs::exists(kBin + "/brindlectl") ||
            !fs::exists(kBin + "/libHidServ.so"))
            return;
        dir_ =
            new fs::path(fs::temp_directory_path() / ("brindle-link-" + std::to_string(getpid())));
        fs::create_directories(*dir_);
        socket_ = new std::string((*dir_ / "k.sock").string());
        setenv("BRINDLE_DEVICE", ("sim:" + *socket_).c_str(), 1);
        setenv("BRINDLE_ANSWER_TIMEOUT_MS", "100", 1);
        const std::vector<std::string> serve = {
            kBin + "/brindle-kbdsim",      "serve", "--socket", *socket_, "--state",
            (*dir_ / "state.bin").string()};
        keyboardPid_ = Spawn(serve, *dir_ / "kbdsim.out");
        for (int i = 0; i < 1000 && !Listening(*socket_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        api_ = new std::optional<HidServApi>(LoadHidServ(kBin));
        if (*api_ && (*api_)->Init(0) <= 0)
            api_->reset();
    }
    static void TearDownTestSuite() {
        if (keyboardPid_ > 0) {
            kill(keyboardPid_, SIGTERM);
            waitpid(keyboardPid_, nullptr, 0);
        }
        if (dir_ != nullptr)
            fs::remove_all(*dir_);
    }
    void SetUp() override {
        if (api_ == nullptr || !*api_ || !Listening(*socket_))
            GTEST_SKIP() << "the virtual keyboard, brindlectl or libHidServ.so is not built";
        ASSERT_EQ(Kbd("fault clear").exit, 0);
        ASSERT_EQ(Kbd("plug").exit, 0);
        ASSERT_EQ(Kbd("clear-log").exit, 0);
    }

    static pid_t Spawn(const std::vector<std::string>& words, const fs::path& out,
                       const fs::path& err = {}) {
        std::vector<char*> argv;
        std::vector<std::string> copy = words;
        for (auto& w : copy)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&files, 2, (err.empty() ? out : err).c_str(),
                                         O_WRONLY | O_CREAT | (err.empty() ? O_APPEND : O_TRUNC),
                                         0600);
        pid_t pid = -1;
        posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }
    static Outcome Run(std::vector<std::string> words) {
        const fs::path out = *dir_ / "out.txt", err = *dir_ / "err.txt";
        const pid_t pid = Spawn(words, out, err);
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }
    static Outcome Ctl(std::vector<std::string> args) {
        args.insert(args.begin(), kBin + "/brindlectl");
        return Run(args);
    }
    static Outcome Kbd(const std::string& command) {
        std::vector<std::string> words = {kBin + "/brindle-kbdsim", "ctl", "--socket", *socket_};
        std::istringstream in(command);
        for (std::string w; in >> w;)
            words.push_back(w);
        return Run(words);
    }
    // The reports the keyboard received on its control interface, as bytes.
    static std::vector<std::vector<uint8_t>> ControlLog() {
        std::vector<std::vector<uint8_t>> reports;
        std::istringstream lines(Kbd("log").out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string iface;
            words >> iface;
            if (iface != "control")
                continue;
            std::vector<uint8_t> bytes;
            for (std::string hex; words >> hex;)
                bytes.push_back(static_cast<uint8_t>(std::stoul(hex, nullptr, 16)));
            reports.push_back(bytes);
        }
        return reports;
    }
    static std::vector<uint8_t> Settings() {
        std::vector<uint8_t> bytes;
        std::istringstream lines(Kbd("dump settings").out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line.substr(line.find(':') + 1));
            for (std::string hex; words >> hex;)
                bytes.push_back(static_cast<uint8_t>(std::stoul(hex, nullptr, 16)));
        }
        return bytes;
    }

    static inline fs::path* dir_ = nullptr;
    static inline std::string* socket_ = nullptr;
    static inline pid_t keyboardPid_ = -1;
    static inline std::optional<HidServApi>* api_ = nullptr;
};

TEST_F(KeyboardLinkTest, BrindlectlProfile_changesOnlyByteTenWithReadThenSealedWrite) {
    ASSERT_EQ(Ctl({"profile", "0"}).exit, 0);
    const std::vector<uint8_t> before = Settings();
    ASSERT_EQ(before.size(), kSettingsBlockSize);
    ASSERT_EQ(Kbd("clear-log").exit, 0);

    const Outcome set = Ctl({"profile", "2"});
    EXPECT_EQ(set.exit, 0) << set.err;
    std::vector<uint8_t> expected = before;
    expected[10] = 2;
    EXPECT_EQ(Settings(), expected);

    const auto log = ControlLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0][3], cmd::kReadSettings);
    EXPECT_EQ(log[1][3], cmd::kWriteSettings);
    Report write{};
    std::copy(log[1].begin(), log[1].end(), write.begin());
    EXPECT_EQ(write[1] | (write[2] << 8), ReportChecksum(write));
    EXPECT_EQ(Ctl({"profile"}).out, "2\n");
}

struct CtlFault {
    const char* name;
    const char* fault;
    const char* command;
    int exit;
    const char* stderrHas;
    size_t sends;
};

class KeyboardFaultTest : public KeyboardLinkTest,
                          public ::testing::WithParamInterface<CtlFault> {};

TEST_P(KeyboardFaultTest, Brindlectl_faultInjected_resultAsExpected) {
    const CtlFault& c = GetParam();
    ASSERT_EQ(Kbd(c.fault).exit, 0);
    const Outcome o = Ctl({c.command});
    EXPECT_EQ(o.exit, c.exit) << o.out << o.err;
    EXPECT_NE(o.err.find(c.stderrHas), std::string::npos) << o.err;
    EXPECT_EQ(ControlLog().size(), c.sends);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, KeyboardFaultTest,
    ::testing::Values(
        CtlFault{"dropTwo_infoSucceedsOnThirdAttempt", "fault drop 2", "info", 0, "", 3},
        CtlFault{"statusFF_minus102", "fault status ff 3", "profile", 1, "result -102", 3},
        CtlFault{"statusFE_minus103", "fault status fe 3", "profile", 1, "result -103", 3},
        CtlFault{"echo_minus2", "fault echo 3", "profile", 1, "result -2 ", 3},
        CtlFault{"unplugged_notPresentNothingSent", "unplug", "info", 1, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyboardLinkTest, BrindlectlInfo_noKeyboardListening_notPresent) {
    const Outcome o = Ctl({"--device", "sim:" + (*dir_ / "nobody.sock").string(), "info"});
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.out.rfind("keyboard: not present", 0), 0u) << o.out;
}

TEST_F(KeyboardLinkTest, BrindlectlBoot_sendsTheBootReportOnlyWithYes) {
    EXPECT_EQ(Ctl({"boot"}).exit, 2);
    EXPECT_TRUE(ControlLog().empty());
    const Outcome o = Ctl({"--trace", "boot", "--yes"});
    EXPECT_EQ(o.exit, 0) << o.err;
    std::vector<uint8_t> expected(kReportSize, 0);
    expected[0] = 4;
    expected[3] = expected[4] = 0xEE;
    EXPECT_EQ(ControlLog(), (std::vector<std::vector<uint8_t>>{expected}));
    EXPECT_NE(o.err.find("> 04 00 00 ee ee 00"), std::string::npos) << o.err;
    EXPECT_EQ(Ctl({"info"}).exit, 1); // the keyboard left the bus
}

// The pid of the virtual keyboard serving `socketPath`, found by its command line.
pid_t ServerOf(const std::string& socketPath) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string cmdline = ReadFile(entry.path() / "cmdline");
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        if (cmdline.find("brindle-kbdsim serve --socket " + socketPath + " ") != std::string::npos)
            return static_cast<pid_t>(std::stol(name));
    }
    return -1;
}

TEST_F(KeyboardLinkTest, BrindlectlDemo_startsOneKeyboardWhoseMemoryPersists) {
    const fs::path runtime = *dir_ / "run", data = *dir_ / "data";
    fs::create_directories(runtime);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string socketPath = (runtime / "brindle-demo.sock").string();

    EXPECT_EQ(Ctl({"--demo", "profile", "1"}).exit, 0);
    const pid_t first = ServerOf(socketPath);
    ASSERT_GT(first, 0);
    EXPECT_EQ(Ctl({"--demo", "profile"}).out, "1\n");
    EXPECT_EQ(ServerOf(socketPath), first); // the running one was used again

    kill(first, SIGTERM); // saves its memory
    for (int i = 0; i < 1000 && Listening(socketPath); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Ctl({"--demo", "profile"}).out, "1\n");
    const pid_t second = ServerOf(socketPath);
    EXPECT_GT(second, 0);
    EXPECT_TRUE(fs::exists(data / "Brindle" / "demo-keyboard.state"));
    if (second > 0)
        kill(second, SIGTERM);
}

ExchangeSettings LinkSettings() {
    ExchangeSettings s;
    s.answerTimeout = std::chrono::milliseconds(200);
    s.staleFlagBackoff = std::chrono::milliseconds(0);
    return s;
}

TEST_F(KeyboardLinkTest, FourThreads_throughTheLibrary_eachGetsItsOwnAnswer) {
    DeviceProtocol protocol(**api_, LinkSettings());
    DeviceConnection connection(protocol, nullptr);
    connection.StartControlChannel();
    std::vector<std::vector<uint8_t>> tables(3, std::vector<uint8_t>(kKeyTableSize));
    for (int p = 0; p < 3; ++p) {
        for (size_t i = 0; i < kKeyTableSize; ++i)
            tables[p][i] = static_cast<uint8_t>(i * (p + 3));
        ASSERT_EQ(protocol.WriteKeyTable(tables[p].data(), p), 1);
    }
    std::vector<uint8_t> factory(kKeyTableSize);
    ASSERT_EQ(protocol.ReadDefaultKeyTable(factory.data()), 1);
    tables.push_back(factory);

    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round) {
                std::vector<uint8_t> got(kKeyTableSize);
                const int r = t < 3 ? protocol.ReadKeyTable(got.data(), t)
                                    : protocol.ReadDefaultKeyTable(got.data());
                if (r != 1 || got != tables[t])
                    ++wrong;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(KeyboardLinkTest, PullOutDuringMacroWrite_failsThenReplugRunsAttach) {
    DeviceProtocol protocol(**api_, LinkSettings());
    RecorderPort port;
    ConnectionSettings settings;
    settings.initPoll = std::chrono::milliseconds(1);
    DeviceConnection connection(protocol, &port, settings);
    connection.StartDeviceConnection();
    const std::string prof = "send 5452 50524f46";
    ASSERT_TRUE(port.WaitFor(prof));
    ASSERT_TRUE(port.WaitFor("tray 141"));
    EXPECT_EQ(connection.MacroCapacity(), 64 * 128);

    ASSERT_EQ(Kbd("fault unplug-after 20").exit, 0);
    std::vector<uint8_t> area(8192, 0x11);
    EXPECT_NE(protocol.WriteMacroArea(area.data(), area.size()), 1);
    EXPECT_TRUE(port.WaitFor("send 4753 0"));
    EXPECT_TRUE(port.WaitFor("tray 128"));

    ASSERT_EQ(Kbd("plug").exit, 0);
    EXPECT_TRUE(port.WaitFor(prof, 2));
    EXPECT_TRUE(port.WaitFor("tray 141", 2));
    connection.WaitIdle();
}

TEST_F(KeyboardLinkTest, KeyboardKeys_reachTheConnection) {
    DeviceProtocol protocol(**api_, LinkSettings());
    RecorderPort port;
    ConnectionSettings settings;
    settings.initPoll = settings.iconPoll = settings.iconHold = std::chrono::milliseconds(1);
    DeviceConnection connection(protocol, &port, settings);
    connection.StartDeviceConnection();
    ASSERT_TRUE(port.WaitFor("tray 141"));

    ASSERT_EQ(Kbd("bank-key").exit, 0);
    EXPECT_TRUE(port.WaitFor("send 5045 4c4544"));
    connection.WaitIdle();
    const std::string bank = Kbd("dump bank").out;
    EXPECT_NE(bank.find("05 03"), std::string::npos) << bank; // bit 0 of the second byte flipped
    ASSERT_EQ(Kbd("profile-key 1").exit, 0);
    EXPECT_TRUE(port.WaitFor("timer 1051 0"));
    ASSERT_EQ(Kbd("backlight on").exit, 0);
    EXPECT_TRUE(port.WaitFor("tray 142"));
    connection.WaitIdle();
}

} // namespace
} // namespace brindle
