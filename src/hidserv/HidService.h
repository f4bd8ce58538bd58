// The device service behind the library's C functions: lasting requests with their unit ids and
// callbacks, request code checks, and the events of a backend turned into callback records.
//
// Callbacks run on the backend's threads, never under a lock of the service. Once Delete returns,
// the deleted request's callback is not running on any other thread and is never called again
// (a callback that deletes its own request is not waited for).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "HidServ.h"
#include "hidserv/HidBackend.h"

namespace brindle {

class HidService : private HidBackendEvents {
public:
    explicit HidService(std::unique_ptr<HidBackend> backend);
    ~HidService() override;
    HidService(const HidService&) = delete;
    HidService& operator=(const HidService&) = delete;

    bool Start();
    void Stop();

    // The library's calls, same arguments and results (0 for a refused request code).
    int RequestGetDeviceCount(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                              uint32_t code, uint32_t* unitId);
    int DeleteRequestFromUnitId(uint32_t unitId);
    int RequestWriteOne(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                        const uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);
    int RequestStatusWrite(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                           const uint8_t* data, uint32_t length, uint32_t code, uint32_t* unitId);
    int RequestAsyncRead(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                         uint32_t code, uint32_t* unitId);

    std::string LastProblem() const;

private:
    struct LastingRequest {
        uint32_t unitId = 0;
        HidDeviceFilter filter{};
        HidCallback callback = nullptr;
        uint32_t tag = 0;
        uint32_t lastCount = 0;
        bool deleted = false;
        std::vector<std::thread::id> running; // threads inside the callback right now
    };
    using RequestPtr = std::shared_ptr<LastingRequest>;
    using Target = std::pair<RequestPtr, uint32_t>; // request and its count for device changes

    void OnInput(const HidInterfaceInfo& from, const uint8_t* data, size_t size) override;
    void OnDevicesChanged(const std::vector<HidInterfaceInfo>& attached) override;

    uint32_t CountLocked(const HidDeviceFilter& filter) const;
    uint32_t RegisterLocked(const HidDeviceFilter& filter, HidCallback callback, uint32_t tag);
    int WriteMatching(const HidDeviceFilter& filter, const uint8_t* data, uint32_t length);
    void Deliver(const std::vector<Target>& targets, const HidEventRecord& event);

    std::unique_ptr<HidBackend> backend_;
    bool started_ = false;
    mutable std::mutex mutex_;
    std::condition_variable callbackDone_;
    std::vector<HidInterfaceInfo> attached_;
    std::vector<RequestPtr> requests_;
    uint32_t nextUnitId_ = 1;
};

} // namespace brindle
