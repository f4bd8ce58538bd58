#include "core/app/NamedEvents.h"

#include <cstdio>
#include <fcntl.h>

namespace brindle {

NamedEvents::~NamedEvents() {
    Close();
}

std::string NamedEvents::Name(int number) {
    char name[64];
    std::snprintf(name, sizeof name, "/%sMain_%02d", "Keyweave_Event_", number);
    return name;
}

int NamedEvents::Create() {
    for (int n = 1; n <= kCount; ++n) {
        std::string name = Name(n);
        // O_EXCL: an event left by a crashed instance is taken over below, never shared with a
        // live one (the instance lock makes sure there is only one).
        sem_t* event = sem_open(name.c_str(), O_CREAT | O_EXCL, 0600, 0);
        if (event == SEM_FAILED) {
            sem_unlink(name.c_str());
            event = sem_open(name.c_str(), O_CREAT | O_EXCL, 0600, 0);
        }
        if (event != SEM_FAILED)
            events_.emplace_back(event, std::move(name));
    }
    return static_cast<int>(events_.size());
}

void NamedEvents::Close() {
    for (auto& [event, name] : events_) {
        sem_close(event);
        sem_unlink(name.c_str());
    }
    events_.clear();
}

} // namespace brindle
