// brindlectl keys, run as a user would run it from the program folder of the build.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CtlRun {
    int exitCode = -1;
    std::vector<std::string> lines;
};

class CtlKeys : public testing::Test {
protected:
    void SetUp() override {
        program_ = fs::path(BRINDLE_BIN_DIR) / "brindlectl";
        if (!fs::exists(program_))
            GTEST_SKIP() << program_ << " is not built";
        char pattern[] = "/tmp/brindle-ctlkeys-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        configHome_ = pattern;
    }
    void TearDown() override {
        if (!configHome_.empty())
            fs::remove_all(configHome_);
    }

    // An English locale and an empty configuration folder: the language is 0x0409.
    CtlRun Keys(const std::string& args = "") {
        const std::string command =
            "env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CONFIG_HOME='" +
            configHome_.string() + "' '" + program_.string() + "' keys " + args + " 2>/dev/null";
        CtlRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr)
            return run;
        std::string output;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);)
            run.lines.push_back(line);
        return run;
    }

    // The five code columns and the name (which may hold blanks); empty for a shorter line.
    static std::vector<std::string> Columns(const std::string& line) {
        std::istringstream in(line);
        std::vector<std::string> columns(5);
        for (std::string& column : columns)
            if (!(in >> column))
                return {};
        std::string name;
        std::getline(in >> std::ws, name);
        columns.push_back(name);
        return columns;
    }

    static std::string LineOf(const CtlRun& run, const std::string& code) {
        for (const std::string& line : run.lines)
            if (line.rfind(code + " ", 0) == 0)
                return line;
        return {};
    }

    fs::path program_;
    fs::path configHome_;
};

TEST_F(CtlKeys, ListsEveryKeyWithCodesUsagesAndEnglishNames) {
    const CtlRun run = Keys();
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 1u + 155u); // header + one line per key
    EXPECT_EQ(Columns(run.lines[0]),
              (std::vector<std::string>{"code", "index", "number", "usage", "vk", "name"}));
    const std::vector<std::vector<std::string>> expected = {
        {"01E", "1E", "0000", "7:04", "41", "A"},
        {"036", "36", "0067", "7:E5", "A1", "Right Shift"},
        {"136", "B6", "0067", "7:E5", "A1", "Right Shift"},
        {"064", "64", "8030", "-", "7C", "Unknown Key: 064"},
        {"047", "47", "005B", "7:5F", "67/24", "Num 7"},
        {"110", "90", "8024", "C:0B6", "B1", "Previous Track"},
        {"15E", "DE", "8001", "1:81", "-", "Power"},
    };
    for (const std::vector<std::string>& row : expected)
        EXPECT_EQ(Columns(LineOf(run, row[0])), row) << row[0];
    // Key lines come in index order, and every key has a name from the language file.
    for (size_t i = 1; i < run.lines.size(); ++i) {
        EXPECT_EQ(run.lines[i].find("#Error"), std::string::npos) << run.lines[i];
        if (i > 1) {
            EXPECT_LT(run.lines[i - 1].substr(5, 2), run.lines[i].substr(5, 2)) << run.lines[i];
        }
    }
}

TEST_F(CtlKeys, ExtraArgumentIsAUsageError) {
    const CtlRun run = Keys("extra");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.lines.empty());
}

} // namespace
