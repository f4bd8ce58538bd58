#include "core/app/InstanceMutex.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace brindle {

InstanceMutex::InstanceMutex(std::string folder) : folder_(std::move(folder)) {}

InstanceMutex::~InstanceMutex() {
    Close();
}

std::string InstanceMutex::Path() const {
    return folder_ + "/" + kName;
}

InstanceMutex::OpenResult InstanceMutex::OpenOrCreate() {
    if (fd_ >= 0)
        return OpenResult::Created;
    if (folder_.empty())
        return OpenResult::Failed;
    // O_NOFOLLOW: a link planted in a shared fallback folder must not make us open another file.
    int fd = open(Path().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return OpenResult::Failed;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        return held ? OpenResult::Existed : OpenResult::Failed;
    }
    fd_ = fd;
    return OpenResult::Created;
}

void InstanceMutex::Close() {
    if (fd_ < 0)
        return;
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}

} // namespace brindle
