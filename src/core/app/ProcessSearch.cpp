#include "core/app/ProcessSearch.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brindle {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<pid_t> ListProcessIds(const std::string& procRoot) {
    std::vector<pid_t> ids;
    DIR* dir = opendir(procRoot.c_str());
    if (!dir)
        return ids;
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (!*name || !std::all_of(name, name + std::char_traits<char>::length(name),
                                   [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        long value = std::strtol(name, nullptr, 10);
        if (value > 0 && value <= INT_MAX)
            ids.push_back(static_cast<pid_t>(value));
    }
    closedir(dir);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The file name of the process's executable. A process that exec'd a file later deleted shows
// " (deleted)" after the name; it is still the same program.
std::string ExecutableFileName(const std::string& processFolder) {
    char target[PATH_MAX];
    ssize_t length = readlink((processFolder + "/exe").c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    std::string path(target, static_cast<size_t>(length));
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted))
        path.resize(path.size() - kDeleted.size());
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

pid_t FindProcessByFileName(std::string_view fileName, const ProcessSearchOptions& options) {
    if (fileName.empty())
        return 0;
    const uid_t uid = options.uid == static_cast<uid_t>(-1) ? getuid() : options.uid;
    const pid_t self = options.excludePid == -1 ? getpid() : options.excludePid;
    for (pid_t pid : ListProcessIds(options.procRoot)) {
        if (pid == self)
            continue;
        const std::string folder = options.procRoot + "/" + std::to_string(pid);
        struct stat st {};
        if (stat(folder.c_str(), &st) != 0 || st.st_uid != uid)
            continue;
        if (EqualsNoCase(ExecutableFileName(folder), fileName))
            return pid;
    }
    return 0;
}

} // namespace brindle
