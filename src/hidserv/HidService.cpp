#include "hidserv/HidService.h"

#include <algorithm>

#include "HidServCode.h"

namespace brindle {

namespace {

bool CodeMatches(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                 const uint8_t* payload, uint32_t length, uint32_t code) {
    if (filter == nullptr || (payload == nullptr && length > 0))
        return false;
    return HidRequestCode(filter, callback, tag, payload, length) == code;
}

bool IsConsumerInterface(const HidInterfaceInfo& info) {
    return std::any_of(info.collections.begin(), info.collections.end(),
                       [](const HidUsage& c) { return c.page == HID_USAGE_PAGE_CONSUMER; });
}

// A consumer report is the 16-bit usage, little-endian, after the report id when there is one.
uint16_t ConsumerCode(const HidInterfaceInfo& info, const uint8_t* data, size_t size) {
    const size_t at = info.reportIds ? 1 : 0;
    if (size >= at + 2)
        return static_cast<uint16_t>(data[at] | (data[at + 1] << 8));
    if (size == at + 1)
        return data[at];
    return 0;
}

void ClearUnitId(uint32_t* unitId) {
    if (unitId != nullptr)
        *unitId = 0;
}

} // namespace

HidService::HidService(std::unique_ptr<HidBackend> backend) : backend_(std::move(backend)) {}

HidService::~HidService() {
    Stop();
}

bool HidService::Start() {
    if (started_)
        return true;
    if (backend_ == nullptr || !backend_->Start(*this))
        return false;
    started_ = true;
    return true;
}

void HidService::Stop() {
    if (!started_)
        return;
    backend_->Stop();
    started_ = false;
    std::lock_guard lock(mutex_);
    requests_.clear();
    attached_.clear();
}

std::string HidService::LastProblem() const {
    return backend_ != nullptr ? backend_->LastProblem() : std::string();
}

uint32_t HidService::CountLocked(const HidDeviceFilter& filter) const {
    return static_cast<uint32_t>(
        std::count_if(attached_.begin(), attached_.end(),
                      [&](const HidInterfaceInfo& info) { return FilterMatches(filter, info); }));
}

uint32_t HidService::RegisterLocked(const HidDeviceFilter& filter, HidCallback callback,
                                    uint32_t tag) {
    auto request = std::make_shared<LastingRequest>();
    request->unitId = nextUnitId_++;
    if (nextUnitId_ == 0)
        nextUnitId_ = 1; // 0 means "no request"
    request->filter = filter;
    request->callback = callback;
    request->tag = tag;
    request->lastCount = CountLocked(filter);
    requests_.push_back(request);
    return request->unitId;
}

int HidService::RequestGetDeviceCount(const HidDeviceFilter* filter, HidCallback callback,
                                      uint32_t tag, uint32_t code, uint32_t* unitId) {
    ClearUnitId(unitId);
    if (!CodeMatches(filter, callback, tag, nullptr, 0, code))
        return 0;
    std::lock_guard lock(mutex_);
    return static_cast<int>(CountLocked(*filter));
}

int HidService::DeleteRequestFromUnitId(uint32_t unitId) {
    if (unitId == 0)
        return 0;
    std::unique_lock lock(mutex_);
    auto it = std::find_if(requests_.begin(), requests_.end(),
                           [&](const RequestPtr& r) { return r->unitId == unitId; });
    if (it == requests_.end())
        return 0;
    RequestPtr request = *it;
    requests_.erase(it);
    request->deleted = true;
    // A callback of this request may be running on another thread right now: wait for it. A
    // callback that deletes its own request is on this thread and is not waited for.
    const std::thread::id self = std::this_thread::get_id();
    callbackDone_.wait(lock, [&] {
        return std::all_of(request->running.begin(), request->running.end(),
                           [&](std::thread::id id) { return id == self; });
    });
    return 1;
}

int HidService::WriteMatching(const HidDeviceFilter& filter, const uint8_t* data, uint32_t length) {
    uint32_t node = 0;
    {
        std::lock_guard lock(mutex_);
        auto it =
            std::find_if(attached_.begin(), attached_.end(),
                         [&](const HidInterfaceInfo& info) { return FilterMatches(filter, info); });
        if (it == attached_.end())
            return 0;
        node = it->node;
    }
    return backend_->Write(node, data, length) > 0 ? 1 : 0;
}

int HidService::RequestWriteOne(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                                const uint8_t* data, uint32_t length, uint32_t code,
                                uint32_t* unitId) {
    ClearUnitId(unitId);
    if (!CodeMatches(filter, callback, tag, data, length, code) || length == 0)
        return 0;
    return WriteMatching(*filter, data, length);
}

int HidService::RequestStatusWrite(const HidDeviceFilter* filter, HidCallback callback,
                                   uint32_t tag, const uint8_t* data, uint32_t length,
                                   uint32_t code, uint32_t* unitId) {
    ClearUnitId(unitId);
    if (!CodeMatches(filter, callback, tag, data, length, code))
        return 0;
    if (callback != nullptr) {
        std::lock_guard lock(mutex_);
        const uint32_t id = RegisterLocked(*filter, callback, tag);
        if (unitId != nullptr)
            *unitId = id;
    }
    return length > 0 ? WriteMatching(*filter, data, length) : 1;
}

int HidService::RequestAsyncRead(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                                 uint32_t code, uint32_t* unitId) {
    ClearUnitId(unitId);
    if (!CodeMatches(filter, callback, tag, nullptr, 0, code) || callback == nullptr)
        return 0;
    std::lock_guard lock(mutex_);
    const uint32_t id = RegisterLocked(*filter, callback, tag);
    if (unitId != nullptr)
        *unitId = id;
    return 1;
}

void HidService::Deliver(const std::vector<Target>& targets, const HidEventRecord& event) {
    // The request record's tag (and for device changes the count) differ per target.
    HidRequestRecord record = *event.request;
    HidEventRecord own = event;
    own.request = &record;
    const std::thread::id self = std::this_thread::get_id();
    for (const auto& [r, count] : targets) {
        bool deleted;
        {
            std::lock_guard lock(mutex_);
            deleted = r->deleted;
        }
        if (!deleted) {
            record.tag = r->tag;
            if (event.kind == HID_EVENT_DEVICE_CHANGE)
                record.count = count;
            r->callback(&own);
        }
        {
            std::lock_guard lock(mutex_);
            auto it = std::find(r->running.begin(), r->running.end(), self);
            if (it != r->running.end())
                r->running.erase(it);
        }
        callbackDone_.notify_all();
    }
}

void HidService::OnInput(const HidInterfaceInfo& from, const uint8_t* data, size_t size) {
    std::vector<Target> targets;
    {
        std::lock_guard lock(mutex_);
        const std::thread::id self = std::this_thread::get_id();
        for (const RequestPtr& r : requests_)
            if (FilterMatches(r->filter, from)) {
                r->running.push_back(self);
                targets.emplace_back(r, 0);
            }
    }
    if (targets.empty())
        return;
    uint16_t code = 0;
    HidInputRecord input{};
    const bool consumer = IsConsumerInterface(from);
    if (consumer) {
        code = ConsumerCode(from, data, size);
        input.consumerCode = &code;
    }
    HidRequestRecord record{};
    record.count = static_cast<uint32_t>(size);
    record.data = data;
    record.input = consumer ? &input : nullptr;
    HidEventRecord event{HID_EVENT_INPUT, 0, &record};
    Deliver(targets, event);
}

void HidService::OnDevicesChanged(const std::vector<HidInterfaceInfo>& attached) {
    std::vector<Target> targets;
    {
        std::lock_guard lock(mutex_);
        attached_ = attached;
        const std::thread::id self = std::this_thread::get_id();
        for (const RequestPtr& r : requests_) {
            const uint32_t count = CountLocked(r->filter);
            if (count == r->lastCount)
                continue;
            r->lastCount = count;
            r->running.push_back(self);
            targets.emplace_back(r, count);
        }
    }
    if (targets.empty())
        return;
    HidRequestRecord record{};
    HidEventRecord event{HID_EVENT_DEVICE_CHANGE, 0, &record};
    Deliver(targets, event);
}

} // namespace brindle
