#include "core/app/InstanceStartup.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "TempFolder.h"
#include "core/app/InstanceListener.h"

extern char** environ;

namespace brindle {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// ---- the decision, with scripted services ----

struct ScriptedServices : InstanceServices {
    pid_t running = 0;
    InstanceMutex::OpenResult mutexResult = InstanceMutex::OpenResult::Created;
    std::vector<std::string> calls;

    pid_t FindRunningInstance() override {
        calls.push_back("find");
        return running;
    }
    void Deliver(pid_t pid, const InstanceMessage& m) override {
        calls.push_back((m.message == kMessageKill && m.wParam == kCodeKill   ? "kill "
                         : m.message == kMessageOpen && m.wParam == kCodeOpen ? "open "
                                                                              : "other ") +
                        std::to_string(pid));
    }
    InstanceMutex::OpenResult OpenMutex() override {
        calls.push_back("mutex");
        return mutexResult;
    }
    void StartCompanion() override { calls.push_back("companion"); }
};

TEST(InstanceStartup, DecisionTable) {
    using R = InstanceMutex::OpenResult;
    struct Case {
        const char* name;
        std::vector<std::string> args;
        pid_t running;
        R mutex;
        InstanceOutcome outcome;
        std::vector<std::string> calls;
        int autoShowDone;
    };
    const Case cases[] = {
        {"first start",
         {},
         0,
         R::Created,
         InstanceOutcome::RunAsInstance,
         {"mutex", "companion"},
         0},
        {"second copy wakes the first",
         {},
         42,
         R::Existed,
         InstanceOutcome::EndProcess,
         {"mutex", "find", "open 42"},
         0},
        {"lock held, no copy found: runs",
         {},
         0,
         R::Existed,
         InstanceOutcome::RunAsInstance,
         {"mutex", "find", "companion"},
         0},
        {"no lock folder: runs",
         {},
         0,
         R::Failed,
         InstanceOutcome::RunAsInstance,
         {"mutex", "companion"},
         0},
        {"kill in any case",
         {"/kILL"},
         42,
         R::Existed,
         InstanceOutcome::EndProcess,
         {"find", "kill 42"},
         0},
        {"kill stops reading arguments",
         {"/Kill", "/Start"},
         42,
         R::Existed,
         InstanceOutcome::EndProcess,
         {"find", "kill 42"},
         0},
        {"kill with none running starts normally",
         {"/KILL"},
         0,
         R::Created,
         InstanceOutcome::RunAsInstance,
         {"find", "mutex", "companion"},
         0},
        {"start in any case",
         {"/sTaRt"},
         0,
         R::Created,
         InstanceOutcome::RunAsInstance,
         {"mutex", "companion"},
         1},
        {"start before kill",
         {"/start", "/kill"},
         42,
         R::Existed,
         InstanceOutcome::EndProcess,
         {"find", "kill 42"},
         1},
        {"whole argument only",
         {"/Started", "Kill", "/Kill2"},
         42,
         R::Created,
         InstanceOutcome::RunAsInstance,
         {"mutex", "companion"},
         0},
    };
    for (const Case& c : cases) {
        ScriptedServices services;
        services.running = c.running;
        services.mutexResult = c.mutex;
        MainShared shared;
        EXPECT_EQ(RunInstanceLogic(c.args, services, shared), c.outcome) << c.name;
        EXPECT_EQ(services.calls, c.calls) << c.name;
        EXPECT_EQ(shared.autoShowDone.load(), c.autoShowDone) << c.name;
    }
}

// ---- real processes: copies of this test program under a unique name play the instances ----

// With BRINDLE_TEST_INSTANCE_RUNTIME set, this program is not a test run but one copy of the
// program's instance logic: it decides, and as the instance it logs every message it receives to
// "<runtime>/log" and ends on KILL.
int RunAsInstanceRole(const std::string& runtime, int argc, char** argv) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    SystemInstanceServices services(runtime, fs::path(self).filename().string(),
                                    fs::path(self).parent_path() / "companion");
    std::vector<std::string> args(argv + 1, argv + argc);
    MainShared shared;
    if (RunInstanceLogic(args, services, shared) == InstanceOutcome::EndProcess)
        return 0;
    std::atomic<bool> killed{false};
    InstanceListener listener;
    bool listening = listener.Start(runtime, [&](const InstanceMessage& m) {
        std::ofstream(runtime + "/log", std::ios::app)
            << std::hex << m.message << " " << m.wParam << "\n";
        if (m.message == kMessageKill && m.wParam == kCodeKill)
            killed = true;
        return int64_t{1};
    });
    std::ofstream(runtime + "/ready")
        << (listening ? "listening" : "no mailbox") << " " << shared.autoShowDone.load();
    while (!killed)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    listener.Stop();
    return 3; // the exit sequence ran
}

struct RoleDispatch {
    RoleDispatch() {
        const char* runtime = std::getenv("BRINDLE_TEST_INSTANCE_RUNTIME");
        if (!runtime)
            return;
        std::ifstream cmdline("/proc/self/cmdline");
        std::vector<std::string> parts;
        for (std::string part; std::getline(cmdline, part, '\0');)
            parts.push_back(part);
        std::vector<char*> argv;
        for (std::string& p : parts)
            argv.push_back(p.data());
        std::_Exit(RunAsInstanceRole(runtime, static_cast<int>(argv.size()), argv.data()));
    }
} roleDispatch;

class InstanceProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = folder_ / ("BrindleInst" + std::to_string(getpid()));
        fs::copy_file("/proc/self/exe", program_);
        fs::create_directories(folder_ / "run");
    }
    void TearDown() override {
        for (pid_t pid : started_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t Start(std::vector<std::string> args) {
        std::vector<char*> argv{program_.data()};
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env{"BRINDLE_TEST_INSTANCE_RUNTIME=" + Runtime()};
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program_.c_str(), nullptr, nullptr, argv.data(), envp.data()),
                  0);
        started_.push_back(pid);
        return pid;
    }
    // Exit code, or -1 when it did not end within the bound.
    int Wait(pid_t pid) {
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(started_, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    std::string ReadWhenThere(const std::string& name) {
        for (int i = 0; i < 1000 && !fs::exists(Runtime() + "/" + name); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(Runtime() + "/" + name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Runtime() const { return folder_ / "run"; }

    TempFolder folder_;
    std::string program_;
    std::vector<pid_t> started_;
};

TEST_F(InstanceProcesses, SecondCopy_wakesFirstAndExitsZero) {
    pid_t first = Start({});
    ASSERT_EQ(ReadWhenThere("ready"), "listening 0");
    EXPECT_EQ(Wait(Start({})), 0);
    EXPECT_EQ(ReadWhenThere("log"), "5350 4f50454e\n");
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0); // the first one still runs
}

TEST_F(InstanceProcesses, KillInAnyCase_endsFirstAndExitsZero) {
    pid_t first = Start({"/Start"});
    ASSERT_EQ(ReadWhenThere("ready"), "listening 1");
    EXPECT_EQ(Wait(Start({"/kill"})), 0);
    EXPECT_EQ(Wait(first), 3);
    EXPECT_EQ(ReadWhenThere("log"), "4d4b 4c4c494b\n");
}

TEST_F(InstanceProcesses, KillWithNoneRunning_startsAsInstanceAndStartsCompanion) {
    const std::string marker = folder_ / "companion-ran";
    std::ofstream(folder_ / "companion") << "#!/bin/sh\ntouch '" << marker << "'\n";
    fs::permissions(folder_ / "companion", fs::perms::owner_all);
    Start({"/KILL"});
    EXPECT_EQ(ReadWhenThere("ready"), "listening 0");
    for (int i = 0; i < 500 && !fs::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(marker));
}

} // namespace
} // namespace brindle
