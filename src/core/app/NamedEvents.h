// The 210 named events of the running instance, "Keyweave_Event_Main_01" to "..._210": POSIX
// named semaphores created at start and closed and removed at exit. Nothing in the program waits
// on them; outside tools may look for them to tell that an instance runs.
#pragma once

#include <semaphore.h>
#include <string>
#include <vector>

namespace brindle {

class NamedEvents {
public:
    static constexpr int kCount = 210;

    NamedEvents() = default;
    ~NamedEvents();
    NamedEvents(const NamedEvents&) = delete;
    NamedEvents& operator=(const NamedEvents&) = delete;

    // Creates the events that can be created; the number created.
    int Create();
    // Closes and removes every event this object created. Safe to call more than once.
    void Close();

    // "/Keyweave_Event_Main_%02d" with n = 1..210.
    static std::string Name(int number);

private:
    std::vector<std::pair<sem_t*, std::string>> events_;
};

} // namespace brindle
