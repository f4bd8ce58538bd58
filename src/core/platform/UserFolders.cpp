#include "core/platform/UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/AtomicFile.h"

namespace brindle {

namespace {

// An XDG variable counts only when it holds an absolute path.
std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    std::string result = value;
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". Values are written by
// xdg-user-dirs-update in double quotes, with '\' escaping '"', '\' and '$'.
std::string DocumentsFromUserDirs(const std::string& home) {
    std::string bytes;
    if (!ReadWholeFile(ConfigHome() + "/user-dirs.dirs", bytes))
        return {};
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        constexpr std::string_view kName = "XDG_DOCUMENTS_DIR=";
        if (line.substr(0, kName.size()) != kName)
            continue;
        line.remove_prefix(kName.size());
        if (line.empty() || line.front() != '"')
            continue;
        line.remove_prefix(1);
        std::string value;
        bool closed = false;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                value.push_back(line[++i]);
            } else if (line[i] == '"') {
                closed = true;
                break;
            } else {
                value.push_back(line[i]);
            }
        }
        if (!closed)
            continue;
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        if (value.empty() || value[0] != '/')
            continue;
        while (value.size() > 1 && value.back() == '/')
            value.pop_back();
        return value;
    }
    return {};
}

} // namespace

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        std::string result = home;
        while (result.size() > 1 && result.back() == '/')
            result.pop_back();
        return result;
    }
    if (const passwd* pw = getpwuid(getuid());
        pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return "/";
}

std::string DocumentsFolder() {
    const std::string home = HomeFolder();
    std::string fromFile = DocumentsFromUserDirs(home);
    if (!fromFile.empty())
        return fromFile;
    return (home == "/" ? std::string() : home) + "/Documents";
}

std::string ConfigHome() {
    std::string value = AbsoluteEnv("XDG_CONFIG_HOME");
    if (!value.empty())
        return value;
    const std::string home = HomeFolder();
    return (home == "/" ? std::string() : home) + "/.config";
}

std::string DataHome() {
    std::string value = AbsoluteEnv("XDG_DATA_HOME");
    if (!value.empty())
        return value;
    const std::string home = HomeFolder();
    return (home == "/" ? std::string() : home) + "/.local/share";
}

std::string RuntimeDir() {
    std::string value = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (!value.empty())
        return value;
    const std::string fallback = "/tmp/brindle-" + std::to_string(getuid());
    if (mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    // Anyone may create names in /tmp: only use the folder if it is ours and private.
    struct stat st {};
    if (lstat(fallback.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return {};
    if ((st.st_mode & 077) != 0 && chmod(fallback.c_str(), 0700) != 0)
        return {};
    return fallback;
}

bool MakeFolders(const std::string& path) {
    if (path.empty())
        return false;
    if (IsFolder(path))
        return true;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string part = path.substr(0, pos);
        if (part.empty() || IsFolder(part))
            continue;
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return IsFolder(path);
}

} // namespace brindle
