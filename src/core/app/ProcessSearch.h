// Finds a running copy of the program by its executable's file name, the way the instance logic
// needs it: only processes of this user, names compared without regard to letter case.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace brindle {

struct ProcessSearchOptions {
    std::string procRoot = "/proc";
    uid_t uid = static_cast<uid_t>(-1); // -1: the calling user
    pid_t excludePid = -1;              // -1: the calling process
};

// The lowest process id whose executable file name (the last component of the /proc/<pid>/exe
// link) equals `fileName` without regard to ASCII case, or 0 when there is none. The calling
// process itself never matches: a second copy that found itself would wake nobody.
pid_t FindProcessByFileName(std::string_view fileName, const ProcessSearchOptions& options = {});

} // namespace brindle
