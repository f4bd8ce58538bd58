// The main window as the device connection sees it, recording every call as a line of text.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/device/MainWindowPort.h"

namespace brindle::testing {

class RecorderPort : public MainWindowPort {
public:
    intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t) override {
        Add("send " + Hex(message) + " " + Hex(wParam));
        return 0;
    }
    void PostMessage(uint32_t message, uintptr_t wParam, intptr_t) override {
        Add("post " + Hex(message) + " " + Hex(wParam));
    }
    void SetTimer(int id, int periodMs) override {
        Add("timer " + std::to_string(id) + " " + std::to_string(periodMs));
    }
    void KillTimer(int id) override { Add("kill " + std::to_string(id)); }
    void Hide() override { Add("hide"); }
    void SetTrayIcon(int id) override { Add("tray " + std::to_string(id)); }
    bool InitialisationFinished() override { return initialised.load(); }
    bool ChangesPending() override { return false; }
    void DisableApply() override { Add("disable apply"); }
    void ShowBusyIndicator() override { Add("busy show"); }
    void HideBusyIndicator() override { Add("busy hide"); }

    std::vector<std::string> Events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        events_.clear();
    }
    // Waits (bounded) until `event` was recorded `times` times.
    bool WaitFor(const std::string& event, size_t times = 1) {
        for (int i = 0; i < 2000; ++i) {
            {
                std::lock_guard lock(mutex_);
                if (static_cast<size_t>(std::count(events_.begin(), events_.end(), event)) >= times)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    std::atomic<bool> initialised{true};

private:
    static std::string Hex(uint64_t v) {
        char buf[24];
        std::snprintf(buf, sizeof(buf), "%llx", static_cast<unsigned long long>(v));
        return buf;
    }
    void Add(std::string e) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(e));
    }
    std::mutex mutex_;
    std::vector<std::string> events_;
};

} // namespace brindle::testing
