#include "core/app/ProgramPaths.h"

#include <climits>
#include <string_view>
#include <unistd.h>

namespace brindle {

namespace {

std::string CurrentFolder() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return "/";
    return buffer;
}

} // namespace

ProgramPaths ProgramPaths::FromExecutable(const std::string& exePath) {
    std::string full = exePath;
    if (full.empty() || full[0] != '/') {
        std::string cwd = CurrentFolder();
        if (cwd.back() != '/')
            cwd.push_back('/');
        full = cwd + full;
    }
    const size_t slash = full.rfind('/');
    ProgramPaths p;
    p.programFolder = full.substr(0, slash + 1);
    p.programFileName = full.substr(slash + 1);
    const std::string& f = p.programFolder;
    p.helpFolder = f + "Help/";
    p.mainSkinFile = f + "Skins/Main.ini";
    p.skinFolder = f + "Skins/";
    p.userLightingPrefix = f + "Skins/UserDengColor_";
    p.profileSkinFile = f + "Skins/Profile.ini";
    p.profileSkinFolder = p.skinFolder;
    p.updateSkinFile = f + "Skins/UpdateDlg.ini";
    p.updateSkinFolder = p.skinFolder;
    p.packageFolder = f + "Package";
    p.compositeSkinFile = f + "Skins/Composite.ini";
    p.compositeSkinFolder = p.skinFolder;
    p.companionProgram = f + "DiRadave";
    return p;
}

ProgramPaths ProgramPaths::ForRunningProgram() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return FromExecutable("");
    std::string path(buffer, static_cast<size_t>(n));
    // The kernel marks an executable that was replaced or removed while running.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted))
        path.resize(path.size() - kDeleted.size());
    return FromExecutable(path);
}

} // namespace brindle
