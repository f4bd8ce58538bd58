#include "core/app/InstanceStartup.h"

#include <algorithm>
#include <cctype>
#include <sys/stat.h>
#include <utility>

#include "core/app/DetachedProgram.h"
#include "core/app/InstanceListener.h"
#include "core/app/ProcessSearch.h"

namespace brindle {

namespace {

bool ArgumentIs(const std::string& argument, std::string_view option) {
    return argument.size() == option.size() &&
           std::equal(argument.begin(), argument.end(), option.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

InstanceOutcome RunInstanceLogic(const std::vector<std::string>& arguments,
                                 InstanceServices& services, MainShared& shared) {
    for (const std::string& argument : arguments) {
        if (ArgumentIs(argument, "/Kill")) {
            if (pid_t pid = services.FindRunningInstance()) {
                services.Deliver(pid, {kMessageKill, kCodeKill, 0});
                return InstanceOutcome::EndProcess;
            }
        } else if (ArgumentIs(argument, "/Start")) {
            shared.autoShowDone = 1;
        }
    }
    if (services.OpenMutex() == InstanceMutex::OpenResult::Existed) {
        if (pid_t pid = services.FindRunningInstance()) {
            services.Deliver(pid, {kMessageOpen, kCodeOpen, 0});
            return InstanceOutcome::EndProcess;
        }
        // The lock is held but no copy of ours runs (renamed program, other folder): run anyway.
    }
    services.StartCompanion();
    return InstanceOutcome::RunAsInstance;
}

SystemInstanceServices::SystemInstanceServices(std::string runtimeFolder,
                                               std::string programFileName,
                                               std::string companionPath)
    : runtimeFolder_(std::move(runtimeFolder)), programFileName_(std::move(programFileName)),
      companionPath_(std::move(companionPath)), mutex_(runtimeFolder_) {}

pid_t SystemInstanceServices::FindRunningInstance() {
    ProcessSearchOptions options;
    options.procRoot = procRoot;
    return FindProcessByFileName(programFileName_, options);
}

void SystemInstanceServices::Deliver(pid_t pid, const InstanceMessage& message) {
    DeliverInstanceMessage(runtimeFolder_, pid, message, deliveryTimeoutMs);
}

InstanceMutex::OpenResult SystemInstanceServices::OpenMutex() {
    return mutex_.OpenOrCreate();
}

void SystemInstanceServices::StartCompanion() {
    struct stat st {};
    if (companionPath_.empty() || stat(companionPath_.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    StartProgramDetached(companionPath_);
}

} // namespace brindle
