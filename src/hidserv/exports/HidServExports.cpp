// The library's exported C functions. One device service per process, created by Init and
// destroyed by End; every other call before Init (or after End) returns 0.
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include "HidServ.h"
#include "hidserv/HidBackendChoice.h"
#include "hidserv/HidService.h"

#define HIDSERV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::mutex g_lifeMutex; // Init and End
std::atomic<brindle::HidService*> g_service{nullptr};
std::mutex g_problemMutex;
std::string g_initProblem;
std::atomic<int> g_debugLevel{0};

brindle::HidService* Service() {
    return g_service.load(std::memory_order_acquire);
}

} // namespace

HIDSERV_EXPORT int Debug(int level) {
    g_debugLevel = level;
    return 1;
}

HIDSERV_EXPORT int Init(int /*flags*/) {
    std::lock_guard life(g_lifeMutex);
    if (Service() != nullptr)
        return 1;
    std::string problem;
    auto backend = brindle::MakeBackend(std::getenv("BRINDLE_DEVICE"), &problem);
    if (backend == nullptr) {
        std::lock_guard lock(g_problemMutex);
        g_initProblem = problem;
        return 0;
    }
    auto* service = new brindle::HidService(std::move(backend));
    if (!service->Start()) {
        delete service;
        std::lock_guard lock(g_problemMutex);
        g_initProblem = "the device service could not start";
        return 0;
    }
    {
        std::lock_guard lock(g_problemMutex);
        g_initProblem.clear();
    }
    g_service.store(service, std::memory_order_release);
    return 1;
}

HIDSERV_EXPORT int End(void) {
    std::lock_guard life(g_lifeMutex);
    brindle::HidService* service = g_service.exchange(nullptr);
    if (service == nullptr)
        return 0;
    service->Stop();
    delete service;
    return 1;
}

HIDSERV_EXPORT int RequestGetDeviceCount(const HidDeviceFilter* filter, HidCallback callback,
                                         uint32_t tag, uint32_t code, uint32_t* unitId) {
    brindle::HidService* s = Service();
    return s != nullptr ? s->RequestGetDeviceCount(filter, callback, tag, code, unitId) : 0;
}

HIDSERV_EXPORT int DeleteRequestFromUnitId(uint32_t unitId) {
    brindle::HidService* s = Service();
    return s != nullptr ? s->DeleteRequestFromUnitId(unitId) : 0;
}

// Requests are known by unit id only; no handle names one.
HIDSERV_EXPORT int DeleteRequestFromHandle(void* /*handle*/) {
    return 0;
}

HIDSERV_EXPORT int RequestWrite(const HidDeviceFilter* filter, HidCallback callback, uint32_t tag,
                                const uint8_t* data, uint32_t length, uint32_t code,
                                uint32_t* unitId) {
    brindle::HidService* s = Service();
    return s != nullptr ? s->RequestWriteOne(filter, callback, tag, data, length, code, unitId) : 0;
}

HIDSERV_EXPORT int RequestWriteOne(const HidDeviceFilter* filter, HidCallback callback,
                                   uint32_t tag, const uint8_t* data, uint32_t length,
                                   uint32_t code, uint32_t* unitId) {
    brindle::HidService* s = Service();
    return s != nullptr ? s->RequestWriteOne(filter, callback, tag, data, length, code, unitId) : 0;
}

HIDSERV_EXPORT int RequestStatusWrite(const HidDeviceFilter* filter, HidCallback callback,
                                      uint32_t tag, const uint8_t* data, uint32_t length,
                                      uint32_t code, uint32_t* unitId) {
    brindle::HidService* s = Service();
    return s != nullptr ? s->RequestStatusWrite(filter, callback, tag, data, length, code, unitId)
                        : 0;
}

// Status and feature reports are not used by the keyboard's protocol: both are refused.
HIDSERV_EXPORT int RequestStatusGet(const HidDeviceFilter* /*filter*/, HidCallback /*callback*/,
                                    uint32_t /*tag*/, uint8_t* /*data*/, uint32_t /*length*/,
                                    uint32_t /*code*/, uint32_t* unitId) {
    if (unitId != nullptr)
        *unitId = 0;
    return 0;
}

HIDSERV_EXPORT int RequestAsyncRead(const HidDeviceFilter* filter, HidCallback callback,
                                    uint32_t tag, uint32_t code, uint32_t* unitId) {
    brindle::HidService* s = Service();
    return s != nullptr ? s->RequestAsyncRead(filter, callback, tag, code, unitId) : 0;
}

HIDSERV_EXPORT int RequestStatusSetFeature(const HidDeviceFilter* /*filter*/,
                                           HidCallback /*callback*/, uint32_t /*tag*/,
                                           const uint8_t* /*data*/, uint32_t /*length*/,
                                           uint32_t /*code*/, uint32_t* unitId) {
    if (unitId != nullptr)
        *unitId = 0;
    return 0;
}

HIDSERV_EXPORT const char* HidServLastProblem(void) {
    thread_local std::string text;
    brindle::HidService* s = Service();
    if (s != nullptr) {
        text = s->LastProblem();
    } else {
        std::lock_guard lock(g_problemMutex);
        text = g_initProblem.empty() ? "the device service is not initialised" : g_initProblem;
    }
    return text.c_str();
}
