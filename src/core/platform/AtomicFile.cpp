#include "core/platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/platform/UserFolders.h"

namespace brindle {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Follows a symbolic link so that the rename replaces the file, not the link.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        return path;
    return resolved;
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    if (path.empty() || path.back() == '/')
        return false;
    const std::string target = ResolveTarget(path);
    const std::string folder = FolderOf(target);
    if (!MakeFolders(folder))
        return false;

    mode_t mode = NewFileMode();
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return false;
        mode = st.st_mode & 07777;
    }

    std::string tempName = target + ".XXXXXX";
    std::vector<char> buffer(tempName.begin(), tempName.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0)
        return false;
    tempName = buffer.data();

    bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok)
        ok = rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(tempName.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here does not undo the write.
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

} // namespace brindle
