// brindlectl's command table. Each command lives in a file of its own and registers itself with
// BRINDLECTL_COMMAND; main.cpp parses the global options and dispatches.
#pragma once

#include <string>
#include <vector>

namespace brindle::ctl {

// Options that come before the command name.
struct CtlOptions {
    std::string device; // --device hidraw|sim|sim:PATH; empty = BRINDLE_DEVICE or hidraw
    bool demo = false;  // --demo: a private virtual keyboard
    bool trace = false; // --trace: every report in hex on stderr
};

struct CtlContext {
    CtlOptions options;
    std::string commandName;
};

using CtlArgs = std::vector<std::string>;

struct CtlCommand {
    const char* name;
    const char* usage;   // arguments after the name, e.g. "KEY [--lang INDEX]"
    const char* summary; // one line for the usage text
    int (*run)(CtlContext& context, const CtlArgs& args);
};

// Exit codes: 0 success, 1 the operation failed, 2 bad command line.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

bool RegisterCommand(const CtlCommand& command);
const std::vector<CtlCommand>& Commands();

// Prints "brindlectl: MESSAGE" and the usage of the current command to stderr; returns kExitUsage.
int UsageError(const CtlContext& context, const std::string& message);

} // namespace brindle::ctl

#define BRINDLECTL_CONCAT_INNER(a, b) a##b
#define BRINDLECTL_CONCAT(a, b) BRINDLECTL_CONCAT_INNER(a, b)
#define BRINDLECTL_COMMAND(...)                                                                    \
    static const bool BRINDLECTL_CONCAT(registered_command_, __LINE__) =                           \
        ::brindle::ctl::RegisterCommand(::brindle::ctl::CtlCommand{__VA_ARGS__})
