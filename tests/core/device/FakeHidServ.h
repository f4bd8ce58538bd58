// A scripted keyboard behind a fake device service library: the library's entry points as plain
// functions over one current instance, a small keyboard memory that answers the command set, a
// log of every report it received and faults to inject. Answers and events are delivered on the
// fake's own thread, as the real library does.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "core/device/HidServApi.h"
#include "core/device/Report.h"
#include "hidserv/include/HidServCode.h"

namespace brindle::testing {

class FakeHidServ {
public:
    struct StatusWrite {
        uint32_t tag;
        std::vector<uint8_t> data;
    };

    FakeHidServ() {
        Current() = this;
        settings.assign(kSettingsBlockSize, 0);
        for (size_t i = 0; i < settings.size(); ++i)
            settings[i] = static_cast<uint8_t>(0x30 + i);
        settings[10] = 0;
        settings[11] = 64;
        keyTables.resize(kKeyTableSize * 3);
        for (size_t i = 0; i < keyTables.size(); ++i)
            keyTables[i] = static_cast<uint8_t>(i * 7 + i / kKeyTableSize);
        factory.resize(kKeyTableSize);
        for (size_t i = 0; i < factory.size(); ++i)
            factory[i] = static_cast<uint8_t>(255 - i);
        macros.assign(8192, 0);
        lighting.assign(kLightingBlockSize * 3, 0);
        colours.assign(kKeyColoursSize * 3, 0);
        worker_ = std::thread([this] { Run(); });
    }
    ~FakeHidServ() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        worker_.join();
        Current() = nullptr;
    }

    static HidServApi Api() {
        HidServApi api;
        api.Debug = [](int) { return 1; };
        api.Init = [](int) { return 1; };
        api.End = [] { return 1; };
        api.RequestGetDeviceCount = [](const HidDeviceFilter* f, HidCallback cb, uint32_t tag,
                                       uint32_t code, uint32_t*) -> int {
            FakeHidServ& self = *Current();
            if (code != HidRequestCode(f, cb, tag, nullptr, 0))
                return 0;
            return self.present.load();
        };
        api.DeleteRequestFromUnitId = [](uint32_t unit) {
            std::lock_guard lock(Current()->mutex_);
            Current()->deleted.push_back(unit);
            return 1;
        };
        api.DeleteRequestFromHandle = [](void*) { return 1; };
        api.RequestWrite = [](const HidDeviceFilter*, HidCallback, uint32_t, const uint8_t*,
                              uint32_t, uint32_t, uint32_t*) { return 0; };
        api.RequestWriteOne = [](const HidDeviceFilter* f, HidCallback cb, uint32_t tag,
                                 const uint8_t* data, uint32_t length, uint32_t code, uint32_t*) {
            return Current()->WriteOne(f, cb, tag, data, length, code);
        };
        api.RequestStatusWrite = [](const HidDeviceFilter* f, HidCallback cb, uint32_t tag,
                                    const uint8_t* data, uint32_t length, uint32_t code,
                                    uint32_t* unit) -> int {
            FakeHidServ& self = *Current();
            if (code != HidRequestCode(f, cb, tag, data, length))
                return 0;
            std::lock_guard lock(self.mutex_);
            self.statusWrites.push_back({tag, std::vector<uint8_t>(data, data + length)});
            if (unit != nullptr)
                *unit = ++self.nextUnit_;
            return 1;
        };
        api.RequestStatusGet = [](const HidDeviceFilter*, HidCallback, uint32_t, uint8_t*, uint32_t,
                                  uint32_t, uint32_t*) { return 0; };
        api.RequestAsyncRead = [](const HidDeviceFilter* f, HidCallback cb, uint32_t tag,
                                  uint32_t code, uint32_t* unit) -> int {
            FakeHidServ& self = *Current();
            if (code != HidRequestCode(f, cb, tag, nullptr, 0))
                return 0;
            std::lock_guard lock(self.mutex_);
            self.reads_[f->usagePage] = {cb, tag};
            if (unit != nullptr)
                *unit = ++self.nextUnit_;
            return 1;
        };
        api.RequestStatusSetFeature = [](const HidDeviceFilter*, HidCallback, uint32_t,
                                         const uint8_t*, uint32_t, uint32_t,
                                         uint32_t*) { return 0; };
        return api;
    }

    // Faults, each for the next N requests.
    void Drop(int n) {
        Set([&] { drop_ = n; });
    }
    void Echo(int n) {
        Set([&] { echo_ = n; });
    }
    void Status(uint8_t status, int n) {
        Set([&] { status_ = status, statusCount_ = n; });
    }
    void RefuseWrites() {
        Set([&] { refuse_ = true; });
    }
    // The keyboard leaves (count 0, device change delivered) after N more requests.
    void UnplugAfter(int n) {
        Set([&] { unplugAfter_ = n; });
    }

    // A device change on every registered channel.
    void Plug(int count) {
        present = count;
        Queue([this, count] {
            Event(HID_USAGE_PAGE_CONTROL, HID_EVENT_DEVICE_CHANGE, count, {}, 0);
        });
    }
    void PressConsumer(uint16_t code) {
        Queue([this, code] { Event(HID_USAGE_PAGE_CONSUMER, HID_EVENT_INPUT, 3, {}, code); });
    }
    // Control-channel data nobody asked for.
    void SendUnasked(std::vector<uint8_t> bytes) {
        Queue([this, bytes] {
            Event(HID_USAGE_PAGE_CONTROL, HID_EVENT_INPUT, static_cast<int>(bytes.size()), bytes,
                  0);
        });
    }
    // Waits until every queued answer and event has been delivered.
    void Flush() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return queue_.empty() && !delivering_; });
    }

    std::vector<Report> Log() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    void ClearLog() {
        std::lock_guard lock(mutex_);
        log_.clear();
    }
    std::vector<StatusWrite> StatusWrites() {
        std::lock_guard lock(mutex_);
        return statusWrites;
    }

    std::atomic<int> present{3};
    // Keyboard memory; touched by the fake's callers only while no exchange runs.
    std::vector<uint8_t> settings, keyTables, factory, macros, lighting, colours;
    std::vector<uint32_t> deleted;
    std::vector<StatusWrite> statusWrites;

private:
    static FakeHidServ*& Current() {
        static FakeHidServ* current = nullptr;
        return current;
    }
    template <typename F>
    void Set(F f) {
        std::lock_guard lock(mutex_);
        f();
    }
    void Queue(std::function<void()> job) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(job));
        }
        wake_.notify_all();
    }
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            auto job = std::move(queue_.front());
            queue_.pop_front();
            delivering_ = true;
            lock.unlock();
            job();
            lock.lock();
            delivering_ = false;
            idle_.notify_all();
        }
    }
    void Event(uint16_t usagePage, uint32_t kind, int count, std::vector<uint8_t> data,
               uint16_t consumer) {
        HidCallback cb = nullptr;
        uint32_t tag = 0;
        {
            std::lock_guard lock(mutex_);
            auto it = reads_.find(usagePage);
            if (it == reads_.end())
                return;
            cb = it->second.first;
            tag = it->second.second;
        }
        HidInputRecord input{};
        input.consumerCode = &consumer;
        HidRequestRecord request{};
        request.tag = tag;
        request.count = static_cast<uint32_t>(count);
        request.data = data.empty() ? nullptr : data.data();
        request.input = usagePage == HID_USAGE_PAGE_CONSUMER ? &input : nullptr;
        HidEventRecord event{kind, 0, &request};
        cb(&event);
    }

    std::vector<uint8_t>* Area(uint8_t command) {
        switch (command) {
        case cmd::kReadSettings:
        case cmd::kWriteSettings:
            return &settings;
        case cmd::kReadLighting:
        case cmd::kWriteLighting:
            return &lighting;
        case cmd::kReadKeyTable:
        case cmd::kWriteKeyTable:
            return &keyTables;
        case cmd::kReadMacroArea:
        case cmd::kWriteMacroArea:
            return &macros;
        case cmd::kReadDefaultKeyTable:
            return &factory;
        case cmd::kWriteKeyColours:
            return &colours;
        default:
            return nullptr;
        }
    }

    int WriteOne(const HidDeviceFilter* f, HidCallback cb, uint32_t tag, const uint8_t* data,
                 uint32_t length, uint32_t code) {
        if (length != kReportSize || code != HidRequestCode(f, cb, tag, data, length))
            return 0;
        Report request;
        std::memcpy(request.data(), data, kReportSize);
        std::unique_lock lock(mutex_);
        log_.push_back(request);
        if (refuse_ || present.load() == 0)
            return 0;
        if (request[3] == cmd::kBootMode)
            return 1;
        if (unplugAfter_ > 0 && --unplugAfter_ == 0) {
            lock.unlock();
            Plug(0);
            return 1;
        }
        if (drop_ > 0) {
            --drop_;
            return 1;
        }
        Report answer{};
        answer[0] = kReportId;
        answer[3] = request[3];
        if (echo_ > 0) {
            --echo_;
            answer[3] = static_cast<uint8_t>(request[3] + 1);
        }
        if (statusCount_ > 0) {
            --statusCount_;
            answer[7] = status_;
            lock.unlock();
        } else {
            lock.unlock();
            Serve(request, answer);
        }
        std::vector<uint8_t> bytes(answer.begin(), answer.end());
        Queue([this, bytes] { Event(HID_USAGE_PAGE_CONTROL, HID_EVENT_INPUT, 64, bytes, 0); });
        return 1;
    }

    // The keyboard's side: reads answer 56 bytes from the address, writes store `length` bytes.
    void Serve(const Report& request, Report& answer) {
        std::vector<uint8_t>* area = Area(request[3]);
        if (area == nullptr)
            return;
        const size_t address = ReportAddress(request);
        const uint8_t c = request[3];
        const bool read = c == cmd::kReadSettings || c == cmd::kReadLighting ||
                          c == cmd::kReadKeyTable || c == cmd::kReadMacroArea ||
                          c == cmd::kReadDefaultKeyTable;
        const size_t length = read ? kReportPayloadSize : request[4];
        for (size_t i = 0; i < length && address + i < area->size(); ++i) {
            if (read)
                answer[kReportPayloadOffset + i] = (*area)[address + i];
            else
                (*area)[address + i] = request[kReportPayloadOffset + i];
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void()>> queue_;
    bool stop_ = false, delivering_ = false;
    std::thread worker_;
    std::map<uint16_t, std::pair<HidCallback, uint32_t>> reads_;
    uint32_t nextUnit_ = 100;
    std::vector<Report> log_;
    int drop_ = 0, echo_ = 0, statusCount_ = 0, unplugAfter_ = 0;
    uint8_t status_ = 0;
    bool refuse_ = false;
};

} // namespace brindle::testing
