// The keyboard's configuration protocol: one 64-byte request on the vendor control interface, one
// 64-byte answer on the same interface (layout in Report.h), and one operation per command code.
//
// Every operation returns a result code (Report.h, namespace result): 1 success, 0 no keyboard or
// failure, -1 the library refused the write, -2 no matching answer after three attempts, -102 and
// -103 answer status 0xFF and 0xFE, -201 a profile index other than 0, 1 or 2.
//
// Threads: any thread may call any operation; exchanges are serialised by a lock, so at most one
// request is outstanding. Answers arrive through OnControlData on a library thread (the control
// channel's lasting read, registered by DeviceConnection).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "core/device/HidServApi.h"
#include "core/device/Report.h"

namespace brindle {

struct ExchangeSettings {
    // How long one attempt waits for its answer (the keyboard answers within a few USB frames).
    std::chrono::milliseconds answerTimeout{1000};
    // Pause before another attempt after a lost, foreign or error answer.
    std::chrono::milliseconds retryBackoff{10};
    // Pause before taking over an in-progress flag that another sender left set.
    std::chrono::milliseconds staleFlagBackoff{1001};
    // Pause before an end-transfer request, so the keyboard has stored the last chunk.
    std::chrono::milliseconds endTransferDelay{10};
    int attempts = 3;
};

// Receives every report sent ("sent") and every answer taken ("received"), 64 bytes each.
using ReportTrace = std::function<void(const char* direction, const uint8_t* report)>;

class DeviceProtocol {
public:
    explicit DeviceProtocol(const HidServApi& api, ExchangeSettings settings = {});
    DeviceProtocol(const DeviceProtocol&) = delete;
    DeviceProtocol& operator=(const DeviceProtocol&) = delete;

    // The control interface's filter (usage page 0xFF1C, usage 0x0092).
    static HidDeviceFilter ControlFilter();

    // Sends one report (padded with zeros to 64 bytes, cut at 64) and waits for the answer whose
    // byte 3 echoes the request's. 1 = such an answer arrived (its status byte may be an error);
    // *delivered is the number of bytes copied into reply (0 on every other path).
    int ExchangeReport(const uint8_t* request, size_t requestLength, uint8_t* reply,
                       size_t replyCapacity, size_t* delivered);
    // Sends one report without waiting; the library's write result unchanged (1 = sent).
    int PostReport(const uint8_t* request, size_t requestLength);
    // The library's count of attached control interfaces; 0 = absent.
    int IsKeyboardPresent();

    int BeginTransfer();
    int EndTransfer();
    int ReadSettingsBlock(uint8_t out[kSettingsBlockSize]);
    int WriteSettingsBlock(const uint8_t in[kSettingsBlockSize]);
    // A read always answers 56 bytes, whatever the length asked for.
    int ReadLightingArea(uint8_t out[kReportPayloadSize], int length, int address);
    // length 0 or less sends the request without data; more than 56 bytes is refused (0).
    int WriteLightingArea(const uint8_t* in, int length, int address);
    int ReadKeyTable(uint8_t out[kKeyTableSize], int profile);
    int WriteKeyTable(const uint8_t in[kKeyTableSize], int profile);
    // count bytes from address 0; a count of 0 sends nothing and succeeds.
    int ReadMacroArea(uint8_t* out, size_t count);
    int WriteMacroArea(const uint8_t* in, size_t count);
    int ReadDefaultKeyTable(uint8_t out[kKeyTableSize]);
    // Colours of keys from firstKey on, 3 bytes per key, into the shown profile's colour memory
    // (address = shown profile x 512 + firstKey x 3). More than 56 bytes is refused (0).
    int WriteKeyColours(const uint8_t* in, int length, int firstKey);
    // Hands the boot-mode report to PostReport; nothing is awaited (the keyboard leaves the bus).
    int EnterBootMode();

    // Byte 10 of the settings block, cached after the first successful read; -1 when unreadable.
    int GetActiveProfile();
    // Reads the settings block, sets byte 10 and writes it back, every other byte unchanged.
    // Profiles outside 0..2 are refused with -201 and nothing is sent.
    int SetActiveProfile(int profile);
    // Forgets the cached active profile (keyboard removed).
    void InvalidateActiveProfile();

    // The profile whose lighting the main window shows; WriteKeyColours writes into its memory.
    // Set by the lighting model from the GUI thread, read by whichever thread writes colours.
    void SetShownProfile(int profile) { shownProfile_.store(profile); }
    int ShownProfile() const { return shownProfile_.load(); }

    // The control channel's data, from a library thread: copied into the waiting exchange's reply
    // buffer and the exchange woken; dropped when no exchange waits.
    void OnControlData(const uint8_t* data, size_t count);

    // Installed before the first exchange (not while exchanges run).
    void SetTrace(ReportTrace trace) { trace_ = std::move(trace); }

    const HidServApi& Api() const { return api_; }

private:
    int Command(const Report& request, uint8_t* answerData, size_t answerBytes);
    int Chunked(uint8_t command, uint16_t base, uint8_t* readInto, const uint8_t* writeFrom,
                size_t count);

    const HidServApi api_;
    const ExchangeSettings settings_;
    ReportTrace trace_;

    std::mutex exchangeLock_; // held for a whole exchange, attempts included

    // The exchange state the callback shares; guarded by stateLock_.
    std::mutex stateLock_;
    std::condition_variable answered_;
    bool inProgress_ = false;
    bool signalled_ = false; // the auto-reset completion event
    uint8_t* reply_ = nullptr;
    size_t replyCapacity_ = 0;
    size_t delivered_ = 0;

    std::atomic<int> activeProfile_{-1};
    std::atomic<int> shownProfile_{0};
};

} // namespace brindle
