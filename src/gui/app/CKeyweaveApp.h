// The program's entry: program paths, the per-user keys, the instance decision ("/Start",
// "/Kill", waking a running copy), the companion program, then the main window for the life of
// the process. `--demo` runs everything on a private virtual keyboard.
#pragma once

#include <string>
#include <vector>

namespace brindle {

class CKeyweaveApp {
public:
    // Splits the program's own options (--demo) from the instance arguments.
    struct Options {
        bool demo = false;
        std::vector<std::string> instanceArguments;
    };
    static Options ParseOptions(int argc, char** argv);

    // Runs the program; the process's exit code.
    int Run(int argc, char** argv);
};

} // namespace brindle
