#include "core/app/DetachedProgram.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace brindle {

namespace {

// A program name without '/' is looked up in PATH like a shell would.
std::string ResolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return access(program.c_str(), X_OK) == 0 ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string list = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        std::string candidate = list.substr(start, end - start) + "/" + program;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace

bool StartProgramDetached(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string resolved = ResolveProgram(program);
    if (resolved.empty())
        return false;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(resolved.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int error =
        posix_spawn(&child, resolved.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return false;
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

int OpenWithDesktop(const std::string& target) {
    if (target.empty())
        return 2;
    return StartProgramDetached("xdg-open", {target}) ? 42 : 2;
}

} // namespace brindle
