// Collects what the device service's callbacks receive, for tests. Callbacks are plain C function
// pointers, so the log is reached through one process-wide instance.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "HidServ.h"
#include "HidServCode.h"

namespace brindle::test {

struct Event {
    uint32_t kind;
    uint32_t tag;
    uint32_t count;
    std::vector<uint8_t> data;
    int consumerCode; // -1 when the event carries none
};

class EventLog {
public:
    static EventLog& Instance() {
        static EventLog log;
        return log;
    }

    static int Callback(const HidEventRecord* event) {
        Event e{event->kind, event->request->tag, event->request->count, {}, -1};
        if (event->kind == HID_EVENT_INPUT && event->request->data != nullptr)
            e.data.assign(event->request->data, event->request->data + event->request->count);
        if (event->request->input != nullptr && event->request->input->consumerCode != nullptr)
            e.consumerCode = *event->request->input->consumerCode;
        Instance().Add(std::move(e));
        return 1;
    }

    void Add(Event e) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(e));
        changed_.notify_all();
    }

    void Clear() {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

    std::vector<Event> Events() {
        std::lock_guard lock(mutex_);
        return events_;
    }

    // Waits (at most `limit`, a safety net only) for an event that satisfies `match`, removes the
    // events up to it and returns it.
    bool WaitFor(const std::function<bool(const Event&)>& match, Event* found = nullptr,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        std::unique_lock lock(mutex_);
        bool ok = changed_.wait_for(lock, limit, [&] {
            for (const Event& e : events_)
                if (match(e))
                    return true;
            return false;
        });
        if (!ok)
            return false;
        for (size_t i = 0; i < events_.size(); ++i)
            if (match(events_[i])) {
                if (found != nullptr)
                    *found = events_[i];
                events_.erase(events_.begin(), events_.begin() + i + 1);
                break;
            }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
};

inline HidDeviceFilter Filter(uint16_t page, uint16_t usage) {
    HidDeviceFilter f{};
    f.flags = HID_FILTER_FLAGS_ALL;
    f.vendorId = HID_VENDOR_ID;
    f.productId = HID_PRODUCT_ID;
    f.usagePage = page;
    f.usage = usage;
    return f;
}

inline HidDeviceFilter ControlFilter() {
    return Filter(HID_USAGE_PAGE_CONTROL, HID_USAGE_CONTROL);
}
inline HidDeviceFilter ConsumerFilter() {
    return Filter(HID_USAGE_PAGE_CONSUMER, HID_USAGE_CONSUMER);
}
inline HidDeviceFilter LocksFilter() {
    return Filter(HID_USAGE_PAGE_LOCKS, HID_USAGE_LOCKS);
}

constexpr uint32_t kTagCtrl = 0x4354524C;
constexpr uint32_t kTagCons = 0x434F4E53;
constexpr uint32_t kTagDel = 0x004C4544;

} // namespace brindle::test
