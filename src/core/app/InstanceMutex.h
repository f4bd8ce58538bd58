// The instance lock "QT72R35B": an flock on a file of that name in the runtime folder. The lock
// "exists" while some process holds it, exactly as the named mutex of a running instance would;
// the kernel drops it when its holder ends, however it ends.
#pragma once

#include <string>

namespace brindle {

class InstanceMutex {
public:
    static constexpr const char* kName = "QT72R35B";

    enum class OpenResult {
        Created, // nobody held it: this process holds it now
        Existed, // another process holds it
        Failed,  // the lock file could not be opened: nobody holds anything
    };

    explicit InstanceMutex(std::string folder);
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    OpenResult OpenOrCreate();
    // Releases the lock (if held) and closes the file. Safe to call more than once.
    void Close();
    bool Held() const { return fd_ >= 0; }
    std::string Path() const;

private:
    std::string folder_;
    int fd_ = -1;
};

} // namespace brindle
