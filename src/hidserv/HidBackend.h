// What the device service needs from a way of reaching the keyboard (hidraw nodes, the virtual
// keyboard's socket). A backend reports on its own threads; it never holds a lock of its own
// while it calls the events, so the service's callbacks may call back into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hidserv/HidInterfaceInfo.h"

namespace brindle {

class HidBackendEvents {
public:
    virtual ~HidBackendEvents() = default;
    // One input report from an attached interface.
    virtual void OnInput(const HidInterfaceInfo& from, const uint8_t* data, size_t size) = 0;
    // The complete list of attached interfaces, after any of them came or went. Calls are never
    // concurrent with each other.
    virtual void OnDevicesChanged(const std::vector<HidInterfaceInfo>& attached) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Starts the backend's threads. The interfaces attached at that moment are reported through
    // OnDevicesChanged before Start returns. False when the backend cannot run at all.
    virtual bool Start(HidBackendEvents& events) = 0;
    // Stops every thread; no event is reported after Stop returns. Not called from an event.
    virtual void Stop() = 0;
    // Sends one output report to the interface with that node handle; > 0 = sent, 0 = not.
    virtual int Write(uint32_t node, const uint8_t* data, size_t size) = 0;
    // Why the keyboard is absent or incomplete, e.g. "permission denied on /dev/hidraw3"; empty
    // when nothing is wrong.
    virtual std::string LastProblem() const = 0;
};

} // namespace brindle
