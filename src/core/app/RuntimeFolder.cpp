#include "core/app/RuntimeFolder.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle {

bool MakePrivateFolder(const std::string& path) {
    if (path.empty())
        return false;
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && chmod(path.c_str(), 0700) != 0)
        return false;
    return true;
}

} // namespace brindle
