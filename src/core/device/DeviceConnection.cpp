#include "core/device/DeviceConnection.h"

#include <shared_mutex>

#include "hidserv/include/HidServCode.h"

namespace brindle {

namespace {

// The connection the library's callbacks go to. Callbacks hold the lock shared while they use
// the connection; a connection going away takes it exclusively to unhook itself.
std::shared_mutex g_routeLock;
DeviceConnection* g_route = nullptr;

} // namespace

DeviceConnection::DeviceConnection(DeviceProtocol& protocol, MainWindowPort* window,
                                   ConnectionSettings settings, ConnectionHooks hooks)
    : protocol_(protocol), api_(protocol.Api()), window_(window), settings_(settings),
      hooks_(std::move(hooks)) {}

DeviceConnection::~DeviceConnection() {
    {
        // Taken exclusively, so no callback is half-way through starting a thread: every later
        // one sees the flag and starts none (answers still reach running exchanges).
        std::unique_lock route(g_routeLock);
        stopping_ = true;
    }
    {
        std::lock_guard lock(busyLock_);
        busyWake_.notify_all();
    }
    if (busyThread_.joinable())
        busyThread_.join();
    WaitIdle();
    {
        std::lock_guard lock(bankLock_);
        for (uint32_t* unit : {&consumerUnit_, &controlUnit_, &bankUnit_}) {
            if (*unit != 0)
                api_.DeleteRequestFromUnitId(*unit);
            *unit = 0;
        }
    }
    std::unique_lock route(g_routeLock);
    if (g_route == this)
        g_route = nullptr;
}

HidDeviceFilter DeviceConnection::Filter(uint16_t usagePage, uint16_t usage) {
    HidDeviceFilter f{};
    f.flags = HID_FILTER_FLAGS_ALL;
    f.vendorId = HID_VENDOR_ID;
    f.productId = HID_PRODUCT_ID;
    f.usagePage = usagePage;
    f.usage = usage;
    return f;
}

void DeviceConnection::RegisterChannel(uint16_t usagePage, uint16_t usage, uint32_t tag,
                                       uint32_t& unitId) {
    const HidDeviceFilter filter = Filter(usagePage, usage);
    api_.DeleteRequestFromUnitId(unitId);
    unitId = 0;
    api_.RequestAsyncRead(&filter, &DeviceConnection::Callback, tag,
                          HidRequestCode(&filter, &DeviceConnection::Callback, tag, nullptr, 0),
                          &unitId);
}

void DeviceConnection::StartControlChannel() {
    {
        std::unique_lock route(g_routeLock);
        g_route = this;
    }
    std::lock_guard lock(bankLock_);
    RegisterChannel(HID_USAGE_PAGE_CONTROL, HID_USAGE_CONTROL, kTagControl, controlUnit_);
}

void DeviceConnection::StartDeviceConnection() {
    if (window_ == nullptr) {
        StartControlChannel();
        return;
    }
    {
        std::unique_lock route(g_routeLock);
        g_route = this;
    }
    full_ = true;
    if (settings_.startedHidden)
        autoShowDone_ = true;
    {
        std::lock_guard lock(bankLock_);
        bank_ = {5, 2};
        bankUnit_ = 0;
        RegisterChannel(HID_USAGE_PAGE_CONSUMER, HID_USAGE_CONSUMER, kTagConsumer, consumerUnit_);
        // The exchange state (flag clear, event unsignalled) lives in the protocol from its start.
        RegisterChannel(HID_USAGE_PAGE_CONTROL, HID_USAGE_CONTROL, kTagControl, controlUnit_);
    }
    const int count = protocol_.IsKeyboardPresent();
    if (count == 0)
        autoShowDone_ = true;
    QueuePresence(count);
}

int DeviceConnection::Callback(const HidEventRecord* event) {
    if (event == nullptr || event->request == nullptr)
        return 1;
    std::shared_lock route(g_routeLock);
    if (g_route != nullptr)
        g_route->Dispatch(*event);
    return 1;
}

void DeviceConnection::Dispatch(const HidEventRecord& event) {
    const HidRequestRecord& request = *event.request;
    if (request.tag == kTagControl) {
        if (event.kind == HID_EVENT_INPUT)
            protocol_.OnControlData(request.data, request.data != nullptr ? request.count : 0);
        else if (event.kind == HID_EVENT_DEVICE_CHANGE && full_ && !stopping_)
            QueuePresence(static_cast<int>(request.count));
        return;
    }
    if (request.tag != kTagConsumer || event.kind != HID_EVENT_INPUT || !full_ || stopping_)
        return;
    if (request.input == nullptr || request.input->consumerCode == nullptr)
        return;
    const uint16_t code = *request.input->consumerCode;
    switch (code) {
    case kConsumerBankToggle:
        // Re-registering the bank request and the blocking send to the window run off the
        // library's thread.
        Launch([this] { ToggleBank(); });
        break;
    case kConsumerProfileChanged:
        window_->SetTimer(kProfileTimerId, 0);
        break;
    case kConsumerBacklightOn:
    case kConsumerBacklightOff:
        Launch([this, code] { ChangeIcon(code); });
        break;
    default:
        break; // 0x1801-0x1804 and the rest carry nothing for the program
    }
}

void DeviceConnection::Launch(std::function<void()> work) {
    {
        std::lock_guard lock(threadsLock_);
        ++running_;
    }
    std::thread([this, work = std::move(work)] {
        work();
        std::lock_guard lock(threadsLock_);
        if (--running_ == 0)
            threadsIdle_.notify_all();
    }).detach();
}

void DeviceConnection::WaitIdle() {
    std::unique_lock lock(threadsLock_);
    threadsIdle_.wait(lock, [this] { return running_ == 0 && presenceQueue_.empty(); });
}

void DeviceConnection::QueuePresence(int count) {
    std::lock_guard lock(threadsLock_);
    presenceQueue_.push_back(count);
    if (presenceRunning_)
        return;
    presenceRunning_ = true;
    ++running_;
    std::thread([this] {
        PresenceLoop();
        std::lock_guard done(threadsLock_);
        if (--running_ == 0)
            threadsIdle_.notify_all();
    }).detach();
}

void DeviceConnection::PresenceLoop() {
    for (;;) {
        int count = 0;
        {
            std::lock_guard lock(threadsLock_);
            if (presenceQueue_.empty()) {
                presenceRunning_ = false;
                return;
            }
            count = presenceQueue_.front();
            presenceQueue_.pop_front();
        }
        RunPresence(count);
    }
}

void DeviceConnection::RunPresence(int count) {
    if (count == lastKnownCount_.load())
        return;
    if (count != 0) {
        std::array<uint8_t, kKeyTableSize> factory{};
        if (protocol_.ReadDefaultKeyTable(factory.data()) == result::kSuccess) {
            if (hooks_.factoryTableRead)
                hooks_.factoryTableRead(factory);
        } else if (hooks_.messages != nullptr && hooks_.lookUp) {
            hooks_.messages->ShowInfo(hooks_.lookUp(u"IDS_MIAN_DEFAULT_PROMPT"));
        }
        uint8_t settings[kSettingsBlockSize] = {};
        if (protocol_.ReadSettingsBlock(settings) == result::kSuccess)
            macroCapacity_ = settings[11] * 128;
        window_->SendMessage(wm::kProfileLoaded, wcode::kProf, 0);
    } else if (lastKnownCount_.load() != 0) {
        protocol_.InvalidateActiveProfile();
        window_->SendMessage(wm::kKeyboardRemoved, 0, 0);
        window_->Hide();
    }
    while (!window_->InitialisationFinished()) {
        if (stopping_)
            return;
        std::this_thread::sleep_for(settings_.initPoll);
    }
    trayBaseIcon_ = count != 0 ? kTrayIconAttached : kTrayIconAbsent;
    window_->SetTrayIcon(trayBaseIcon_.load());
    lastKnownCount_ = count;
    if (!autoShowDone_.load()) {
        if (count != 0)
            window_->PostMessage(wm::kOpen, wcode::kOpen, 0);
        autoShowDone_ = true;
    }
}

void DeviceConnection::ToggleBank() {
    {
        std::lock_guard lock(bankLock_);
        bank_[1] ^= 1; // bit 0 selects the extra-key bank
        const HidDeviceFilter filter = Filter(HID_USAGE_PAGE_LOCKS, HID_USAGE_LOCKS);
        api_.DeleteRequestFromUnitId(bankUnit_);
        bankUnit_ = 0;
        api_.RequestStatusWrite(
            &filter, &DeviceConnection::Callback, kTagBank, bank_.data(), 2,
            HidRequestCode(&filter, &DeviceConnection::Callback, kTagBank, bank_.data(), 2),
            &bankUnit_);
    }
    window_->SendMessage(wm::kBankSwitched, wcode::kDel, 0);
}

std::array<uint8_t, 2> DeviceConnection::BankStatus() {
    std::lock_guard lock(bankLock_);
    return bank_;
}

void DeviceConnection::ChangeIcon(uint16_t code) {
    for (;;) {
        bool expected = false;
        if (iconBusy_.compare_exchange_strong(expected, true))
            break;
        std::this_thread::sleep_for(settings_.iconPoll);
    }
    window_->SetTrayIcon(code == kConsumerBacklightOn ? kTrayIconBacklightOn
                                                      : trayBaseIcon_.load());
    std::this_thread::sleep_for(settings_.iconHold);
    iconBusy_ = false;
}

void DeviceConnection::PostBusyMessage(int message) {
    std::lock_guard lock(busyLock_);
    if (!busyThread_.joinable())
        busyThread_ = std::thread([this] { BusyLoop(); });
    busyQueue_.push_back(message);
    busyWake_.notify_all();
}

void DeviceConnection::BusyLoop() {
    std::unique_lock lock(busyLock_);
    for (;;) {
        busyWake_.wait(lock, [this] { return stopping_ || !busyQueue_.empty(); });
        if (busyQueue_.empty())
            return; // stopping
        const int message = busyQueue_.front();
        busyQueue_.pop_front();
        lock.unlock();
        if (window_ != nullptr) {
            if (message == kBusyHide) {
                std::this_thread::sleep_for(settings_.busyHideDelay);
                window_->KillTimer(kBusyTimerId);
                window_->HideBusyIndicator();
            } else {
                window_->ShowBusyIndicator();
                window_->SetTimer(kBusyTimerId, kBusyTimerPeriodMs);
            }
        }
        lock.lock();
    }
}

} // namespace brindle
