// brindlectl against a brindle-kbdsim process: what the commands leave in the keyboard's memory.
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "TempFolder.h"
#include "core/config/ProfileFile.h"
#include "core/keys/KeyTables.h"
#include "core/keys/MacroBlock.h"

namespace brindle {
namespace {

using test::ReadBytes;
using test::TempFolder;

const std::string kBin = BRINDLE_BIN_DIR;

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

// Runs a program of the build with a private home; waits for it.
ProgramRun RunProgram(const TempFolder& dir, const std::vector<std::string>& args) {
    const std::string outPath = dir.File("out.txt"), errPath = dir.File("err.txt");
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setenv("HOME", dir.File("home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", dir.File("home/.config").c_str(), 1);
        ::setenv("LANG", "C", 1);
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_MESSAGES");
        ::unsetenv("BRINDLE_DEVICE");
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ProgramRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(outPath);
    r.err = ReadText(errPath);
    return r;
}

// A brindle-kbdsim process serving one socket in the test's folder.
class SimKeyboard {
public:
    SimKeyboard(const TempFolder& dir, int capacityUnits) : dir_(dir) {
        socket_ = dir.File("kbd.sock");
        const std::string units = std::to_string(capacityUnits);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string sim = kBin + "/brindle-kbdsim", state = dir.File("kbd.state");
            ::execl(sim.c_str(), sim.c_str(), "serve", "--socket", socket_.c_str(), "--state",
                    state.c_str(), "--capacity", units.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Ready once its socket is there.
        for (int i = 0; i < 500 && !std::filesystem::exists(socket_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~SimKeyboard() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    bool Ready() const { return std::filesystem::exists(socket_); }

    ProgramRun Ctl(std::vector<std::string> args) const {
        args.insert(args.begin(), {kBin + "/brindlectl", "--device", "sim:" + socket_});
        return RunProgram(dir_, args);
    }
    std::vector<std::uint8_t> Dump(const std::string& what, const std::string& arg = "") const {
        std::vector<std::string> args = {
            kBin + "/brindle-kbdsim", "ctl", "--socket", socket_, "dump", what};
        if (!arg.empty())
            args.push_back(arg);
        std::istringstream lines(RunProgram(dir_, args).out);
        std::vector<std::uint8_t> bytes;
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line.substr(line.find(':') + 1));
            std::string hex;
            while (words >> hex)
                bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)));
        }
        return bytes;
    }
    std::vector<std::uint8_t> Table(int profile) const {
        return Dump("keytable", std::to_string(profile));
    }

private:
    const TempFolder& dir_;
    std::string socket_;
    pid_t pid_ = -1;
};

std::string Text(const TempFolder& dir, const std::string& key) {
    std::string t = RunProgram(dir, {kBin + "/brindlectl", "text", key}).out;
    while (!t.empty() && t.back() == '\n')
        t.pop_back();
    return t;
}

std::vector<std::uint8_t> Descriptor(const std::vector<std::uint8_t>& table, std::size_t pos) {
    return {table.begin() + static_cast<long>(pos * 3),
            table.begin() + static_cast<long>(pos * 3 + 3)};
}

constexpr std::size_t kPosA = 19; // A in the keyboard's position order
constexpr std::size_t kPosEsc = 8;
constexpr std::size_t kPosF1 = 16;

MacroRecord Macro(std::u16string_view name, std::uint16_t id, std::uint8_t playCount,
                  std::vector<MacroAction> actions) {
    MacroRecord m{};
    SetMacroName(m, name);
    m.playCount = playCount;
    m.id = id;
    m.actionCount = static_cast<std::uint16_t>(actions.size());
    std::copy(actions.begin(), actions.end(), m.actions);
    return m;
}

// Three macros with ids out of list order; A of profile 0 plays id 7 (position 2), Esc of
// profile 1 plays id 3 (position 0), F1 of profile 2 plays id 5 (position 1).
std::string WriteMacroFile(const TempFolder& dir, const std::string& name) {
    ConfigContext c;
    InstallDefaultImage(c);
    c.macros.push_back(Macro(u"copy line", 3, 1,
                             {{15, 0x01D, 0}, {27, 0x02E, 0}, {0, 0x02E, 1}, {999, 0x01D, 1}}));
    c.macros.push_back(Macro(u"Shift tap", 5, 4, {{40000, 0x02A, 0}, {0, 0x02A, 1}}));
    c.macros.push_back(Macro(u"\u00e9t\u00e9", 7, 255, {{5, 0x148, 0}, {9, 0x148, 1}}));
    auto play = [&](std::size_t page, KeyCode key, std::uint32_t id) {
        KeyEntry& e = c.image->pages[page].entries[KeyCodeToIndex(key)];
        e.type = kKeyPlayMacro;
        e.payload = id;
    };
    play(0, 0x01E, 7);
    play(1, 0x001, 3);
    play(2, 0x03B, 5);
    const std::string path = dir.File(name);
    EXPECT_TRUE(SaveProfileFile(c, path, true));
    return path;
}

class CtlEndToEnd : public ::testing::Test {
protected:
    TempFolder dir;
    void SetUp() override {
        if (!std::filesystem::exists(kBin + "/brindle-kbdsim") ||
            !std::filesystem::exists(kBin + "/brindlectl"))
            GTEST_SKIP() << "brindlectl and brindle-kbdsim are not built";
    }
};

TEST_F(CtlEndToEnd, Assign_changesOnlyThatKeyOfTheActiveProfile) {
    SimKeyboard keyboard(dir, 64);
    ASSERT_TRUE(keyboard.Ready());
    ASSERT_EQ(keyboard.Ctl({"profile", "1"}).exitCode, 0);
    const std::vector<std::uint8_t> before[3] = {keyboard.Table(0), keyboard.Table(1),
                                                 keyboard.Table(2)};
    ASSERT_EQ(before[1].size(), 378u);

    struct Step {
        std::vector<std::string> args;
        std::vector<std::uint8_t> descriptor;
    };
    const Step steps[] = {
        {{"assign", "A", "key", "B"}, {2, 2, 5}},
        {{"assign", "a", "disable"}, {0, 0, 0}},
        {{"assign", "A", "media", "mute"}, {3, 0xE2, 0}},
        {{"assign", "A", "function", "4"}, {5, 5, 4}},
        {{"assign", "A", "key", "Right Win"}, {2, 1, 0x80}},
        {{"assign", "A", "default"}, {2, 2, 4}},
    };
    for (const Step& s : steps) {
        const ProgramRun r = keyboard.Ctl(s.args);
        ASSERT_EQ(r.exitCode, 0) << s.args[2] << ": " << r.err;
        std::vector<std::uint8_t> expected = before[1];
        std::copy(s.descriptor.begin(), s.descriptor.end(), expected.begin() + kPosA * 3);
        EXPECT_EQ(keyboard.Table(1), expected) << s.args[2];
        EXPECT_EQ(keyboard.Table(0), before[0]) << s.args[2];
        EXPECT_EQ(keyboard.Table(2), before[2]) << s.args[2];
    }
    // The snapshot of the active profile was written from the image.
    const std::string snapshot = dir.File("home/Documents/Keyweave_35B/$Profile1");
    EXPECT_EQ(ValidateProfileFile(snapshot), 1);
    // Another profile than the active one: all three tables are sent, only that one changes.
    const std::vector<std::uint8_t> active = keyboard.Table(1);
    ASSERT_EQ(keyboard.Ctl({"assign", "Esc", "key", "Caps Lock", "--profile", "2"}).exitCode, 0);
    std::vector<std::uint8_t> expected = before[2];
    expected[kPosEsc * 3 + 2] = 0x39;
    EXPECT_EQ(keyboard.Table(2), expected);
    EXPECT_EQ(keyboard.Table(1), active);
    EXPECT_EQ(keyboard.Table(0), before[0]);
    EXPECT_EQ(keyboard.Ctl({"assign", "Nope", "disable"}).exitCode, 2);
    EXPECT_EQ(keyboard.Ctl({"assign", "A", "macro", "none"}).exitCode, 1);
}

TEST_F(CtlEndToEnd, Import_writesMacrosThatDecodeBackAndTablesThatPointAtThem) {
    SimKeyboard keyboard(dir, 64);
    ASSERT_TRUE(keyboard.Ready());
    const std::string file = WriteMacroFile(dir, "macros.kwv");
    const ProgramRun r = keyboard.Ctl({"import", file});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const MacroList decoded = DecodeMacroBlock(keyboard.Dump("macros"), 64 * 128, u"Macro ");
    ConfigContext original;
    ASSERT_EQ(LoadProfileFile(file, original), 1);
    ASSERT_EQ(decoded.size(), original.macros.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const MacroRecord& want = original.macros[i];
        const MacroRecord& got = decoded[i];
        EXPECT_EQ(MacroName(got), MacroName(want));
        EXPECT_EQ(got.playCount, want.playCount);
        ASSERT_EQ(got.actionCount, want.actionCount);
        for (std::size_t a = 0; a < want.actionCount; ++a) {
            EXPECT_EQ(got.actions[a].keyCode, want.actions[a].keyCode) << i << "/" << a;
            EXPECT_EQ(got.actions[a].released, want.actions[a].released) << i << "/" << a;
            EXPECT_EQ(got.actions[a].delayMs, want.actions[a].delayMs / 10 * 10) << i << "/" << a;
        }
    }
    EXPECT_EQ(Descriptor(keyboard.Table(0), kPosA), (std::vector<std::uint8_t>{5, 1, 2}));
    EXPECT_EQ(Descriptor(keyboard.Table(1), kPosEsc), (std::vector<std::uint8_t>{5, 1, 0}));
    EXPECT_EQ(Descriptor(keyboard.Table(2), kPosF1), (std::vector<std::uint8_t>{5, 1, 1}));
}

TEST_F(CtlEndToEnd, BackupThenImport_leavesTheKeyboardByteForByte) {
    SimKeyboard keyboard(dir, 64);
    ASSERT_TRUE(keyboard.Ready());
    ASSERT_EQ(keyboard.Ctl({"import", WriteMacroFile(dir, "macros.kwv")}).exitCode, 0);
    ASSERT_EQ(keyboard.Ctl({"assign", "F1", "key", "Caps Lock"}).exitCode, 0);
    const std::vector<std::uint8_t> tables[3] = {keyboard.Table(0), keyboard.Table(1),
                                                 keyboard.Table(2)};
    const std::vector<std::uint8_t> macros = keyboard.Dump("macros");

    const ProgramRun backup = keyboard.Ctl({"backup", dir.File("backup.kwv")});
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_EQ(keyboard.Ctl({"validate", dir.File("backup.kwv")}).exitCode, 0);
    const ProgramRun import = keyboard.Ctl({"import", dir.File("backup.kwv")});
    ASSERT_EQ(import.exitCode, 0) << import.err;
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(keyboard.Table(p), tables[p]) << "profile " << p;
    EXPECT_EQ(keyboard.Dump("macros"), macros);

    const ProgramRun show = keyboard.Ctl({"show", dir.File("backup.kwv")});
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_NE(show.out.find("A: macro \"\u00e9t\u00e9\""), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("F1: key Caps Lock"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("macro 2 \"Shift tap\": play count 4, 2 actions"), std::string::npos)
        << show.out;
}

TEST_F(CtlEndToEnd, ImportOfAnInvalidFile_touchesNeitherKeyboardNorSnapshot) {
    SimKeyboard keyboard(dir, 64);
    ASSERT_TRUE(keyboard.Ready());
    ASSERT_EQ(keyboard.Ctl({"assign", "A", "disable"}).exitCode, 0); // makes the snapshot
    const std::string snapshot = dir.File("home/Documents/Keyweave_35B/$Profile0");
    const std::vector<std::uint8_t> snapshotBefore = ReadBytes(snapshot);
    const std::vector<std::uint8_t> tableBefore = keyboard.Table(0);
    const std::vector<std::uint8_t> macrosBefore = keyboard.Dump("macros");

    std::vector<std::uint8_t> bad = ReadBytes(WriteMacroFile(dir, "bad.kwv"));
    bad[14] = 101; // macro count
    test::WriteBytes(dir.File("bad.kwv"), bad);
    const ProgramRun validate = keyboard.Ctl({"validate", dir.File("bad.kwv")});
    EXPECT_EQ(validate.exitCode, 1);
    EXPECT_NE(validate.out.find("macro count at most 100"), std::string::npos) << validate.out;

    const ProgramRun r = keyboard.Ctl({"import", dir.File("bad.kwv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(Text(dir, "IDS_MAIN_PROMPT_INPORT")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("wrong file format"), std::string::npos) << r.err;
    EXPECT_EQ(keyboard.Table(0), tableBefore);
    EXPECT_EQ(keyboard.Dump("macros"), macrosBefore);
    EXPECT_EQ(ReadBytes(snapshot), snapshotBefore);
}

TEST_F(CtlEndToEnd, MacrosTooLargeEvenWithoutNames_sendNothingAndSayMacroOver) {
    SimKeyboard keyboard(dir, 1); // 128 bytes of macro memory
    ASSERT_TRUE(keyboard.Ready());
    ConfigContext c;
    InstallDefaultImage(c);
    std::vector<MacroAction> actions(30, MacroAction{10, 0x01E, 0});
    c.macros.push_back(Macro(u"a", 1, 1, actions));
    c.macros.push_back(Macro(u"b", 2, 1, actions)); // 16 + 4 + 2 x 124 bytes without names
    c.image->pages[0].entries[KeyCodeToIndex(0x001)].type = kKeyDisabled;
    ASSERT_TRUE(SaveProfileFile(c, dir.File("big.kwv"), true));
    const std::vector<std::uint8_t> tableBefore = keyboard.Table(0);
    const std::vector<std::uint8_t> macrosBefore = keyboard.Dump("macros");

    const ProgramRun r = keyboard.Ctl({"import", dir.File("big.kwv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(Text(dir, "IDS_MACRO_OVER")), std::string::npos) << r.err;
    EXPECT_EQ(keyboard.Table(0), tableBefore);
    EXPECT_EQ(keyboard.Dump("macros"), macrosBefore);
}

TEST_F(CtlEndToEnd, OnlyNamesDoNotFit_sendsEverythingWithoutNamesAndWarns) {
    SimKeyboard keyboard(dir, 1);
    ASSERT_TRUE(keyboard.Ready());
    ConfigContext c;
    InstallDefaultImage(c);
    // 16 + 2 + 4 + 80 = 102 bytes without the name, 302 with it.
    c.macros.push_back(
        Macro(std::u16string(100, u'n'), 1, 2, std::vector<MacroAction>(20, {20, 0x030, 1})));
    c.image->pages[0].entries[KeyCodeToIndex(0x01E)].type = kKeyPlayMacro;
    c.image->pages[0].entries[KeyCodeToIndex(0x01E)].payload = 1;
    ASSERT_TRUE(SaveProfileFile(c, dir.File("named.kwv"), true));

    const ProgramRun r = keyboard.Ctl({"import", dir.File("named.kwv")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find(Text(dir, "EXTRA_PROFILE_SPACE_TIGHT")), std::string::npos) << r.err;
    const std::vector<std::uint8_t> area = keyboard.Dump("macros");
    ASSERT_GE(area.size(), 8u);
    EXPECT_EQ(area[2] | (area[3] << 8), 102);
    EXPECT_EQ(area[6], 0); // names flag
    const MacroList decoded = DecodeMacroBlock(area, 128, u"Macro ");
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].actionCount, 20);
    EXPECT_EQ(MacroName(decoded[0]), u"Macro 1");
    EXPECT_EQ(Descriptor(keyboard.Table(0), kPosA), (std::vector<std::uint8_t>{5, 1, 0}));
}

} // namespace
} // namespace brindle
