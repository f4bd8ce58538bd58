// The lasting connection to the keyboard: the consumer and control channels registered with the
// device service library, the callback that receives everything the keyboard sends, the presence
// worker that reacts to the keyboard arriving and leaving, and the busy-indicator thread of the
// keyboard writes.
//
// Threads: the library calls Callback on its own threads. The callback only copies answers into
// the waiting exchange, sets a timer and starts short threads; anything that may wait for the main
// window (a blocking send) runs on one of those threads, never on the library's, so an exchange
// the GUI thread is waiting on can always be answered.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

#include "core/device/DeviceProtocol.h"
#include "core/device/MainWindowPort.h"
#include "core/device/Report.h"
#include "core/lang/TextLookup.h"
#include "core/platform/UserMessages.h"

namespace brindle {

// Channel tags, four characters read as a little-endian u32.
constexpr uint32_t kTagConsumer = 0x434F4E53; // 'CONS'
constexpr uint32_t kTagControl = 0x4354524C;  // 'CTRL'
constexpr uint32_t kTagBank = 0x004C4544;     // 'DEL'

// Consumer codes the keyboard sends.
constexpr uint16_t kConsumerBankToggle = 0x02FF;
constexpr uint16_t kConsumerProfileChanged = 0x0401;
constexpr uint16_t kConsumerBacklightOn = 0x1811;
constexpr uint16_t kConsumerBacklightOff = 0x1810;

// Busy-indicator thread messages.
constexpr int kBusyShow = 1025;
constexpr int kBusyHide = 1026;

struct ConnectionSettings {
    bool startedHidden = false;                   // no automatic show at all
    std::chrono::milliseconds initPoll{50};       // presence worker: init-finished polling
    std::chrono::milliseconds iconPoll{1};        // icon threads: busy-flag polling
    std::chrono::milliseconds iconHold{1};        // icon threads: hold the flag after the change
    std::chrono::milliseconds busyHideDelay{100}; // the indicator stays up this long after 1026
};

struct ConnectionHooks {
    // The keyboard's factory key table, read at every attach; replaces the table in use. Called
    // on the presence worker's thread, which holds no configuration lock.
    std::function<void(std::span<const uint8_t, kKeyTableSize>)> factoryTableRead;
    // Where "IDS_MIAN_DEFAULT_PROMPT" goes when the factory table cannot be read (optional).
    UserMessages* messages = nullptr;
    TextLookup lookUp;
};

class DeviceConnection {
public:
    // window may be null for StartControlChannel users (brindlectl's one-shot commands).
    DeviceConnection(DeviceProtocol& protocol, MainWindowPort* window,
                     ConnectionSettings settings = {}, ConnectionHooks hooks = {});
    // Waits for the connection's threads, cancels its channels and stops routing callbacks here.
    // Presence threads may be inside a send to the main window: destroy the connection only when
    // such a send returns (in the program the connection lives until the process ends).
    ~DeviceConnection();
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    // The whole connection: bank status 5, 2; the consumer channel; the control channel; the
    // device count and the first presence run on a worker thread. Needs a window.
    void StartDeviceConnection();
    // Only the control channel's lasting read, so that exchanges get their answers.
    void StartControlChannel();

    // The one callback given to the library. The library's callback carries no user pointer, so
    // it reaches the connection through a single process-wide pointer set by the start functions.
    static int Callback(const HidEventRecord* event);

    // Busy indicator: 1025 (or any other value) shows it and starts timer 1050; 1026 hides it
    // after a short delay and stops the timer. Messages are handled in order on one thread.
    void PostBusyMessage(int message);
    void ShowBusy() { PostBusyMessage(kBusyShow); }
    void HideBusy() { PostBusyMessage(kBusyHide); }

    int MacroCapacity() const { return macroCapacity_.load(); }
    int LastKnownCount() const { return lastKnownCount_.load(); }
    bool AutoShowDone() const { return autoShowDone_.load(); }
    int TrayBaseIcon() const { return trayBaseIcon_.load(); }
    std::array<uint8_t, 2> BankStatus();

    // Blocks until no presence, bank or icon thread runs and no device change waits.
    void WaitIdle();

    static HidDeviceFilter Filter(uint16_t usagePage, uint16_t usage);

private:
    void Dispatch(const HidEventRecord& event);
    void RegisterChannel(uint16_t usagePage, uint16_t usage, uint32_t tag, uint32_t& unitId);
    void Launch(std::function<void()> work);
    void QueuePresence(int count);
    void PresenceLoop();
    void RunPresence(int count);
    void ToggleBank();
    void ChangeIcon(uint16_t code);
    void BusyLoop();

    DeviceProtocol& protocol_;
    const HidServApi& api_;
    MainWindowPort* const window_;
    const ConnectionSettings settings_;
    const ConnectionHooks hooks_;

    std::atomic<bool> full_{false}; // StartDeviceConnection ran: device changes run the worker
    std::atomic<bool> stopping_{false};

    std::mutex bankLock_;
    std::array<uint8_t, 2> bank_{5, 2};
    uint32_t bankUnit_ = 0;
    uint32_t consumerUnit_ = 0;
    uint32_t controlUnit_ = 0;

    std::atomic<int> lastKnownCount_{0};
    std::atomic<int> macroCapacity_{0};
    std::atomic<bool> autoShowDone_{false};
    std::atomic<int> trayBaseIcon_{kTrayIconAbsent};
    std::atomic<bool> iconBusy_{false};

    // Short threads in flight, and the device changes waiting for the presence worker: one worker
    // drains them in arrival order, so overlapping changes never interleave.
    std::mutex threadsLock_;
    std::condition_variable threadsIdle_;
    int running_ = 0;
    std::deque<int> presenceQueue_;
    bool presenceRunning_ = false;

    std::mutex busyLock_;
    std::condition_variable busyWake_;
    std::deque<int> busyQueue_;
    std::thread busyThread_;
};

} // namespace brindle
