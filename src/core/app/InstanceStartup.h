// The start-up decision: does this process become the running instance, wake the running one or
// tell it to quit? Runs before any window exists; everything it touches outside the process goes
// through InstanceServices, so the order of the decision is tested on its own.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "core/app/InstanceMessage.h"
#include "core/app/InstanceMutex.h"
#include "core/app/MainShared.h"

namespace brindle {

class InstanceServices {
public:
    virtual ~InstanceServices() = default;
    // Process id of a running copy of this program (never this process), 0 if none.
    virtual pid_t FindRunningInstance() = 0;
    // Delivers the message to the instance's marked main window and waits for it to be handled.
    // Whether or not anybody answered, the caller ends afterwards.
    virtual void Deliver(pid_t pid, const InstanceMessage& message) = 0;
    virtual InstanceMutex::OpenResult OpenMutex() = 0;
    // Starts the companion program if there is one; its failure is of no interest.
    virtual void StartCompanion() = 0;
};

enum class InstanceOutcome {
    RunAsInstance, // go on: create the main window
    EndProcess,    // another instance was woken or told to quit: exit with code 0
};

// `arguments` are the command-line arguments after the program name. "/Kill" (any letter case)
// tells a running instance to quit and ends this process; with no instance running it is ignored.
// "/Start" keeps the window in the tray on the first keyboard detection (sets autoShowDone).
// Then the instance lock: held by another process whose copy is found -> that one is woken with
// OPEN and this process ends; otherwise this process runs as the instance and starts the companion.
InstanceOutcome RunInstanceLogic(const std::vector<std::string>& arguments,
                                 InstanceServices& services, MainShared& shared);

// The real services: /proc search by `programFileName`, the lock and the mailbox in
// `runtimeFolder`, the companion at `companionPath` (ignored when missing).
class SystemInstanceServices : public InstanceServices {
public:
    SystemInstanceServices(std::string runtimeFolder, std::string programFileName,
                           std::string companionPath);

    pid_t FindRunningInstance() override;
    void Deliver(pid_t pid, const InstanceMessage& message) override;
    InstanceMutex::OpenResult OpenMutex() override;
    void StartCompanion() override;

    // The lock, held until the exit sequence closes it.
    InstanceMutex& Mutex() { return mutex_; }
    const std::string& RuntimeFolder() const { return runtimeFolder_; }

    std::string procRoot = "/proc";
    int deliveryTimeoutMs = 10000;

private:
    std::string runtimeFolder_;
    std::string programFileName_;
    std::string companionPath_;
    InstanceMutex mutex_;
};

} // namespace brindle
