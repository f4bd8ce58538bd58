// brindlectl: Brindle's command-line front end on the same core as the program.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ctl/CtlCommand.h"

namespace brindle::ctl {

namespace {

std::vector<CtlCommand>& Table() {
    static std::vector<CtlCommand> table;
    return table;
}

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: brindlectl [--device hidraw|sim|sim:PATH] [--demo] [--trace] "
                      "COMMAND [ARGS]\n\ncommands:\n");
    std::vector<CtlCommand> sorted = Table();
    std::sort(sorted.begin(), sorted.end(), [](const CtlCommand& a, const CtlCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const CtlCommand& c : sorted) {
        std::string line = std::string(c.name) + (c.usage[0] ? " " : "") + c.usage;
        std::fprintf(out, "  %-34s %s\n", line.c_str(), c.summary);
    }
}

const CtlCommand* Find(const std::string& name) {
    for (const CtlCommand& c : Table())
        if (name == c.name)
            return &c;
    return nullptr;
}

} // namespace

bool RegisterCommand(const CtlCommand& command) {
    Table().push_back(command);
    return true;
}

const std::vector<CtlCommand>& Commands() {
    return Table();
}

int UsageError(const CtlContext& context, const std::string& message) {
    std::fprintf(stderr, "brindlectl: %s\n", message.c_str());
    if (const CtlCommand* c = Find(context.commandName))
        std::fprintf(stderr, "usage: brindlectl %s %s\n", c->name, c->usage);
    else
        PrintUsage(stderr);
    return kExitUsage;
}

} // namespace brindle::ctl

int main(int argc, char** argv) {
    using namespace brindle::ctl;
    CtlContext context;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        const std::string arg = argv[i];
        if (arg == "--device" && i + 1 < argc) {
            context.options.device = argv[++i];
        } else if (arg.rfind("--device=", 0) == 0) {
            context.options.device = arg.substr(9);
        } else if (arg == "--demo") {
            context.options.demo = true;
        } else if (arg == "--trace") {
            context.options.trace = true;
        } else if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return kExitOk;
        } else {
            return UsageError(context, "unknown option '" + arg + "'");
        }
    }
    if (i >= argc)
        return UsageError(context, "no command given");
    context.commandName = argv[i];
    const CtlCommand* command = nullptr;
    for (const CtlCommand& c : Commands())
        if (context.commandName == c.name)
            command = &c;
    if (command == nullptr) {
        const std::string name = context.commandName;
        context.commandName.clear();
        return UsageError(context, "unknown command '" + name + "'");
    }
    const CtlArgs args(argv + i + 1, argv + argc);
    return command->run(context, args);
}
