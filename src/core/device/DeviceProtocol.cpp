#include "core/device/DeviceProtocol.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "hidserv/include/HidServCode.h"

namespace brindle {

namespace {

void Pad(const uint8_t* request, size_t length, Report& out) {
    out.fill(0);
    if (request != nullptr)
        std::memcpy(out.data(), request, std::min(length, kReportSize));
}

} // namespace

DeviceProtocol::DeviceProtocol(const HidServApi& api, ExchangeSettings settings)
    : api_(api), settings_(settings) {}

HidDeviceFilter DeviceProtocol::ControlFilter() {
    HidDeviceFilter f{};
    f.flags = HID_FILTER_FLAGS_ALL;
    f.vendorId = HID_VENDOR_ID;
    f.productId = HID_PRODUCT_ID;
    f.usagePage = HID_USAGE_PAGE_CONTROL;
    f.usage = HID_USAGE_CONTROL;
    return f;
}

int DeviceProtocol::IsKeyboardPresent() {
    const HidDeviceFilter filter = ControlFilter();
    const int count = api_.RequestGetDeviceCount(
        &filter, nullptr, 0, HidRequestCode(&filter, nullptr, 0, nullptr, 0), nullptr);
    return count > 0 ? count : 0;
}

int DeviceProtocol::ExchangeReport(const uint8_t* request, size_t requestLength, uint8_t* reply,
                                   size_t replyCapacity, size_t* delivered) {
    size_t ignored = 0;
    if (delivered == nullptr)
        delivered = &ignored;
    *delivered = 0;
    if (IsKeyboardPresent() == 0)
        return result::kNoKeyboard;

    Report out;
    Pad(request, requestLength, out);
    const HidDeviceFilter filter = ControlFilter();
    const uint32_t code = HidRequestCode(&filter, nullptr, 0, out.data(), out.size());

    std::lock_guard exchange(exchangeLock_);
    int attempt = 0;
    for (;;) {
        {
            std::unique_lock state(stateLock_);
            if (inProgress_) {
                // Another sender left the flag set; with the exchange lock held this only
                // happens if an exchange ended abnormally. Give its answer time, then take over.
                state.unlock();
                std::this_thread::sleep_for(settings_.staleFlagBackoff);
                state.lock();
                inProgress_ = false;
            }
            reply_ = reply;
            replyCapacity_ = reply != nullptr ? replyCapacity : 0;
            delivered_ = 0;
            signalled_ = false;
            inProgress_ = true;
        }
        if (trace_)
            trace_("sent", out.data());
        // The state lock is not held here: the library may deliver the answer on its own thread
        // before the write returns.
        const int written = api_.RequestWriteOne(&filter, nullptr, 0, out.data(),
                                                 static_cast<uint32_t>(out.size()), code, nullptr);
        std::unique_lock state(stateLock_);
        if (written <= 0) {
            inProgress_ = false;
            return result::kWriteRefused;
        }
        const bool got =
            answered_.wait_for(state, settings_.answerTimeout, [this] { return signalled_; });
        // Later answers are dropped from here on, so the reply stays as it was delivered.
        inProgress_ = false;
        const size_t count = delivered_;
        state.unlock();

        bool retry = !got;
        if (got) {
            const bool echoes = count > 3 && reply[3] == out[3];
            const bool errorStatus =
                count > 7 && (reply[7] == kStatusBadRequest || reply[7] == kStatusOutOfRange);
            if (!echoes) {
                retry = true; // an answer for another command counts as lost
            } else if (errorStatus) {
                if (++attempt >= settings_.attempts) {
                    *delivered = count; // the caller maps the error status
                    return result::kSuccess;
                }
                std::this_thread::sleep_for(settings_.retryBackoff);
                continue;
            } else {
                *delivered = count;
                return result::kSuccess;
            }
        }
        if (retry) {
            if (++attempt >= settings_.attempts)
                return result::kNoAnswer;
            std::this_thread::sleep_for(settings_.retryBackoff);
        }
    }
}

void DeviceProtocol::OnControlData(const uint8_t* data, size_t count) {
    if (trace_) {
        Report seen;
        Pad(data, count, seen);
        trace_("received", seen.data());
    }
    std::lock_guard state(stateLock_);
    if (!inProgress_ || signalled_ || data == nullptr)
        return;
    const size_t n = std::min(count, replyCapacity_);
    if (n > 0)
        std::memcpy(reply_, data, n);
    delivered_ = n;
    signalled_ = true;
    answered_.notify_one();
}

int DeviceProtocol::PostReport(const uint8_t* request, size_t requestLength) {
    Report out;
    Pad(request, requestLength, out);
    const HidDeviceFilter filter = ControlFilter();
    const uint32_t code = HidRequestCode(&filter, nullptr, 0, out.data(), out.size());
    // Not between another exchange's request and its answer.
    std::lock_guard exchange(exchangeLock_);
    if (trace_)
        trace_("sent", out.data());
    return api_.RequestWriteOne(&filter, nullptr, 0, out.data(), static_cast<uint32_t>(out.size()),
                                code, nullptr);
}

int DeviceProtocol::Command(const Report& request, uint8_t* answerData, size_t answerBytes) {
    uint8_t reply[kReportSize] = {};
    size_t delivered = 0;
    const int r = ExchangeReport(request.data(), request.size(), reply, sizeof(reply), &delivered);
    if (r != result::kSuccess)
        return r;
    if (reply[7] == kStatusBadRequest)
        return result::kStatusFF;
    if (reply[7] == kStatusOutOfRange)
        return result::kStatusFE;
    // A short answer leaves the rest of the zeroed reply buffer, never stale memory.
    if (answerData != nullptr && answerBytes > 0)
        std::memcpy(answerData, reply + kReportPayloadOffset,
                    std::min(answerBytes, kReportPayloadSize));
    return result::kSuccess;
}

int DeviceProtocol::Chunked(uint8_t command, uint16_t base, uint8_t* readInto,
                            const uint8_t* writeFrom, size_t count) {
    // Every chunk's address must fit the request's 16-bit address field.
    if (count > 0 && base + count > 0x10000u)
        return result::kNoKeyboard;
    for (size_t offset = 0; offset < count; offset += kReportPayloadSize) {
        const size_t length = std::min(kReportPayloadSize, count - offset);
        const auto address = static_cast<uint16_t>(base + offset);
        std::span<const uint8_t> payload;
        if (writeFrom != nullptr)
            payload = std::span<const uint8_t>(writeFrom + offset, length);
        const Report request = MakeRequest(command, static_cast<uint8_t>(length), address, payload);
        const int r = Command(request, readInto != nullptr ? readInto + offset : nullptr,
                              readInto != nullptr ? length : 0);
        if (r != result::kSuccess)
            return r;
    }
    return result::kSuccess;
}

int DeviceProtocol::BeginTransfer() {
    return Command(MakeRequest(cmd::kBeginTransfer, 0, 0), nullptr, 0);
}

int DeviceProtocol::EndTransfer() {
    std::this_thread::sleep_for(settings_.endTransferDelay);
    return Command(MakeRequest(cmd::kEndTransfer, 0, 0), nullptr, 0);
}

int DeviceProtocol::ReadSettingsBlock(uint8_t out[kSettingsBlockSize]) {
    return Command(MakeRequest(cmd::kReadSettings, kSettingsBlockSize, 0), out, kSettingsBlockSize);
}

int DeviceProtocol::WriteSettingsBlock(const uint8_t in[kSettingsBlockSize]) {
    return Command(MakeRequest(cmd::kWriteSettings, kSettingsBlockSize, 0,
                               std::span<const uint8_t>(in, kSettingsBlockSize)),
                   nullptr, 0);
}

int DeviceProtocol::ReadLightingArea(uint8_t out[kReportPayloadSize], int length, int address) {
    return Command(MakeRequest(cmd::kReadLighting, static_cast<uint8_t>(std::max(length, 0)),
                               static_cast<uint16_t>(address)),
                   out, kReportPayloadSize);
}

int DeviceProtocol::WriteLightingArea(const uint8_t* in, int length, int address) {
    // One request carries at most 56 data bytes; a longer length would make the keyboard store
    // bytes that were never sent.
    if (length > static_cast<int>(kReportPayloadSize))
        return result::kNoKeyboard;
    std::span<const uint8_t> payload;
    if (length > 0)
        payload = std::span<const uint8_t>(in, static_cast<size_t>(length));
    return Command(MakeRequest(cmd::kWriteLighting, static_cast<uint8_t>(std::max(length, 0)),
                               static_cast<uint16_t>(address), payload),
                   nullptr, 0);
}

int DeviceProtocol::ReadKeyTable(uint8_t out[kKeyTableSize], int profile) {
    if (profile < 0 || profile >= kProfileCount)
        return result::kBadProfile;
    return Chunked(cmd::kReadKeyTable, static_cast<uint16_t>(profile * kKeyTableSize), out, nullptr,
                   kKeyTableSize);
}

int DeviceProtocol::WriteKeyTable(const uint8_t in[kKeyTableSize], int profile) {
    if (profile < 0 || profile >= kProfileCount)
        return result::kBadProfile;
    return Chunked(cmd::kWriteKeyTable, static_cast<uint16_t>(profile * kKeyTableSize), nullptr, in,
                   kKeyTableSize);
}

int DeviceProtocol::ReadMacroArea(uint8_t* out, size_t count) {
    return Chunked(cmd::kReadMacroArea, 0, out, nullptr, count);
}

int DeviceProtocol::WriteMacroArea(const uint8_t* in, size_t count) {
    return Chunked(cmd::kWriteMacroArea, 0, nullptr, in, count);
}

int DeviceProtocol::ReadDefaultKeyTable(uint8_t out[kKeyTableSize]) {
    return Chunked(cmd::kReadDefaultKeyTable, 0, out, nullptr, kKeyTableSize);
}

int DeviceProtocol::WriteKeyColours(const uint8_t* in, int length, int firstKey) {
    if (length > static_cast<int>(kReportPayloadSize))
        return result::kNoKeyboard;
    const int address = ShownProfile() * static_cast<int>(kKeyColoursSize) + firstKey * 3;
    std::span<const uint8_t> payload;
    if (length > 0)
        payload = std::span<const uint8_t>(in, static_cast<size_t>(length));
    return Command(MakeRequest(cmd::kWriteKeyColours, static_cast<uint8_t>(std::max(length, 0)),
                               static_cast<uint16_t>(address), payload),
                   nullptr, 0);
}

int DeviceProtocol::EnterBootMode() {
    // Bytes 3 and 4 both 0xEE, everything else zero: this report carries no checksum.
    Report r{};
    r[0] = kReportId;
    r[3] = cmd::kBootMode;
    r[4] = cmd::kBootMode;
    return PostReport(r.data(), r.size());
}

int DeviceProtocol::GetActiveProfile() {
    const int cached = activeProfile_.load();
    if (cached != -1)
        return cached;
    uint8_t block[kSettingsBlockSize] = {};
    if (ReadSettingsBlock(block) != result::kSuccess)
        return -1;
    activeProfile_.store(block[10]);
    return block[10];
}

int DeviceProtocol::SetActiveProfile(int profile) {
    // Byte 10 selects the profile the keyboard runs; an index it does not have is never stored.
    if (profile < 0 || profile >= kProfileCount)
        return result::kBadProfile;
    uint8_t block[kSettingsBlockSize] = {};
    const int read = ReadSettingsBlock(block);
    if (read != result::kSuccess)
        return read;
    block[10] = static_cast<uint8_t>(profile);
    const int written = WriteSettingsBlock(block);
    activeProfile_.store(written == result::kSuccess ? profile : -1);
    return written;
}

void DeviceProtocol::InvalidateActiveProfile() {
    activeProfile_.store(-1);
}

} // namespace brindle
