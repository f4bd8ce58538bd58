#include "kbdsim/VirtualKeyboard.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "core/config/FactoryKeyTable.h"

namespace brindle {

namespace {

constexpr uint8_t kEmptyStatus = 0;
constexpr size_t kActiveProfileByte = 10;
constexpr size_t kCapacityByte = 11;
constexpr size_t kModesOffset = 12;
constexpr size_t kModesCount = 32;
constexpr size_t kMacroUnit = 128;

// State file: magic, version, capacity units, two reserved bytes, then every area in this order:
// settings, lighting, colours, key tables, bank status, macro area (capacity x 128 bytes).
constexpr char kStateMagic[8] = {'B', 'R', 'K', 'B', 'D', 'S', 'I', 'M'};
constexpr uint8_t kStateVersion = 1;
constexpr size_t kStateHeaderSize = 12;

const char* InterfaceName(SimInterface iface) {
    switch (iface) {
    case SimInterface::kControl:
        return "control";
    case SimInterface::kConsumer:
        return "consumer";
    case SimInterface::kLocks:
        return "locks";
    case SimInterface::kNone:
        break;
    }
    return "none";
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void SetProblem(std::string* problem, const std::string& text) {
    if (problem != nullptr)
        *problem = text;
}

} // namespace

VirtualKeyboard::VirtualKeyboard(VirtualKeyboardOptions options) : options_(std::move(options)) {
    if (options_.capacityUnits == 0)
        options_.capacityUnits = 1;
    if (options_.modes.empty()) {
        for (uint8_t code = 1; code <= 18; ++code)
            options_.modes.push_back(code);
        options_.modes.push_back(20);
    }
    if (options_.modes.size() > kModesCount)
        options_.modes.resize(kModesCount);
    Fresh();
}

void VirtualKeyboard::Fresh() {
    settings_.assign(kSettingsBlockSize, 0);
    settings_[kCapacityByte] = options_.capacityUnits;
    std::copy(options_.modes.begin(), options_.modes.end(), settings_.begin() + kModesOffset);

    // Every profile starts with a plain effect: mode 1, full brightness, middle speed, first
    // direction, multicolour, red, report rate index 3.
    lighting_.assign(kLightingAreaSize, 0);
    for (int p = 0; p < kProfileCount; ++p) {
        uint8_t* block = lighting_.data() + p * kLightingBlockSize;
        block[0] = 1;
        block[1] = 5;
        block[2] = 2;
        block[3] = 0xFF;
        block[4] = 1;
        block[5] = 0xFF;
        block[15] = 3;
    }
    colours_.assign(kColoursAreaSize, 0);
    keyTables_.clear();
    for (int p = 0; p < kProfileCount; ++p)
        keyTables_.insert(keyTables_.end(), kBuiltInFactoryKeyTable.begin(),
                          kBuiltInFactoryKeyTable.end());
    // An empty macro area: magic 0x55AA, size 16, no macros, no names.
    macros_.assign(static_cast<size_t>(options_.capacityUnits) * kMacroUnit, 0);
    macros_[0] = 0xAA;
    macros_[1] = 0x55;
    macros_[2] = 16;
    bank_ = {5, 2};
}

bool VirtualKeyboard::Load(std::string* problem) {
    std::lock_guard lock(mutex_);
    if (options_.stateFile.empty())
        return true;
    FILE* file = std::fopen(options_.stateFile.c_str(), "rb");
    if (file == nullptr) {
        if (errno == ENOENT)
            return true;
        SetProblem(problem, "cannot read " + options_.stateFile + ": " + std::strerror(errno));
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);

    const size_t fixed = kStateHeaderSize + kSettingsBlockSize + kLightingAreaSize +
                         kColoursAreaSize + kKeyTablesAreaSize + kBankStatusSize;
    if (bytes.size() < fixed || std::memcmp(bytes.data(), kStateMagic, 8) != 0 ||
        bytes[8] != kStateVersion ||
        bytes.size() != fixed + static_cast<size_t>(bytes[9]) * kMacroUnit) {
        SetProblem(problem, options_.stateFile + " is not a virtual keyboard state file");
        return false;
    }
    const uint8_t* p = bytes.data() + kStateHeaderSize;
    auto take = [&p](std::vector<uint8_t>& area, size_t size) {
        std::vector<uint8_t> saved(p, p + size);
        p += size;
        // The macro area keeps the size the keyboard was started with.
        saved.resize(area.size(), 0);
        area = std::move(saved);
    };
    take(settings_, kSettingsBlockSize);
    take(lighting_, kLightingAreaSize);
    take(colours_, kColoursAreaSize);
    take(keyTables_, kKeyTablesAreaSize);
    take(bank_, kBankStatusSize);
    take(macros_, static_cast<size_t>(bytes[9]) * kMacroUnit);
    // Capacity and supported effects are the keyboard's own, whatever the file says.
    settings_[kCapacityByte] = options_.capacityUnits;
    std::fill(settings_.begin() + kModesOffset, settings_.end(), 0);
    std::copy(options_.modes.begin(), options_.modes.end(), settings_.begin() + kModesOffset);
    if (settings_[kActiveProfileByte] >= kProfileCount)
        settings_[kActiveProfileByte] = 0;
    changed_ = false;
    return true;
}

bool VirtualKeyboard::Save(std::string* problem) {
    std::lock_guard lock(mutex_);
    if (options_.stateFile.empty())
        return true;
    std::vector<uint8_t> bytes(kStateMagic, kStateMagic + 8);
    bytes.push_back(kStateVersion);
    bytes.push_back(options_.capacityUnits);
    bytes.push_back(0);
    bytes.push_back(0);
    for (const auto* area : {&settings_, &lighting_, &colours_, &keyTables_, &bank_, &macros_})
        bytes.insert(bytes.end(), area->begin(), area->end());

    const std::string temp = options_.stateFile + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetProblem(problem, "cannot write " + temp + ": " + std::strerror(errno));
        return false;
    }
    const bool written = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!written || std::rename(temp.c_str(), options_.stateFile.c_str()) != 0) {
        SetProblem(problem, "cannot write " + options_.stateFile + ": " +
                                std::strerror(written ? errno : error));
        ::unlink(temp.c_str());
        return false;
    }
    changed_ = false;
    return true;
}

bool VirtualKeyboard::SaveIfChanged(std::string* problem) {
    {
        std::lock_guard lock(mutex_);
        if (!changed_)
            return true;
    }
    return Save(problem);
}

void VirtualKeyboard::AddLog(SimInterface iface, std::span<const uint8_t> bytes) {
    std::string line = InterfaceName(iface);
    char hex[4];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof(hex), " %02x", b);
        line += hex;
    }
    if (log_.size() >= kLogLimit)
        log_.erase(log_.begin(), log_.begin() + kLogLimit / 10);
    log_.push_back(std::move(line));
}

KeyboardReaction VirtualKeyboard::HandleReport(SimInterface iface, std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    AddLog(iface, bytes);
    if (iface == SimInterface::kLocks) {
        // The program sends the two bank status bytes; a shorter write changes what it covers.
        for (size_t i = 0; i < kBankStatusSize && i < bytes.size(); ++i)
            bank_[i] = bytes[i];
        changed_ = true;
        return {};
    }
    if (iface != SimInterface::kControl)
        return {};
    return HandleControl(bytes);
}

Report VirtualKeyboard::Answer(const Report& request, uint8_t status) const {
    Report answer{};
    answer[0] = kReportId;
    answer[3] = request[3];
    answer[4] = request[4];
    answer[5] = request[5];
    answer[6] = request[6];
    answer[7] = status;
    return answer;
}

KeyboardReaction VirtualKeyboard::HandleControl(std::span<const uint8_t> bytes) {
    Report request{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kReportSize), request.begin());

    KeyboardReaction reaction;
    if (request[3] == cmd::kBootMode) {
        // The boot-mode report carries no checksum; the keyboard restarts into its loader and is
        // gone from the bus until it is plugged in again.
        reaction.leave = true;
        return reaction;
    }
    if (faults_.dropAnswers > 0) {
        --faults_.dropAnswers;
    } else if (faults_.badStatus > 0) {
        --faults_.badStatus;
        reaction.answer = Answer(request, faults_.statusValue);
    } else {
        const uint16_t sum = static_cast<uint16_t>(request[1] | (request[2] << 8));
        Report answer = Answer(request, kEmptyStatus);
        answer[7] = sum == ReportChecksum(request) ? Carry(answer, request) : kStatusBadRequest;
        reaction.answer = answer;
    }
    if (reaction.answer && faults_.wrongEcho > 0) {
        --faults_.wrongEcho;
        (*reaction.answer)[3] = static_cast<uint8_t>(request[3] ^ 0x80);
    }
    if (reaction.answer) {
        SealReport(*reaction.answer);
        reaction.delayMs = faults_.delayMs;
    }
    if (faults_.unplugAfter > 0 && --faults_.unplugAfter == 0) {
        faults_.unplugAfter = -1;
        reaction.leave = true;
    }
    return reaction;
}

// Carries out a request whose checksum is right; returns the answer's status.
uint8_t VirtualKeyboard::Carry(Report& answer, const Report& request) {
    const uint8_t command = request[3];
    const size_t length = request[4];
    const size_t address = ReportAddress(request);
    if (command == cmd::kBeginTransfer || command == cmd::kEndTransfer)
        return kEmptyStatus;

    std::vector<uint8_t>* area = nullptr;
    std::vector<uint8_t> factory;
    bool write = false;
    switch (command) {
    case cmd::kReadSettings:
    case cmd::kWriteSettings:
        area = &settings_;
        write = command == cmd::kWriteSettings;
        break;
    case cmd::kReadLighting:
    case cmd::kWriteLighting:
        area = &lighting_;
        write = command == cmd::kWriteLighting;
        break;
    case cmd::kReadKeyTable:
    case cmd::kWriteKeyTable:
        area = &keyTables_;
        write = command == cmd::kWriteKeyTable;
        break;
    case cmd::kReadMacroArea:
    case cmd::kWriteMacroArea:
        area = &macros_;
        write = command == cmd::kWriteMacroArea;
        break;
    case cmd::kReadDefaultKeyTable:
        factory.assign(kBuiltInFactoryKeyTable.begin(), kBuiltInFactoryKeyTable.end());
        area = &factory;
        break;
    case cmd::kWriteKeyColours:
        area = &colours_;
        write = true;
        break;
    default:
        return kStatusBadRequest;
    }

    if (length > kReportPayloadSize)
        return kStatusOutOfRange;
    if (command == cmd::kReadLighting) {
        // A lighting read always answers 56 bytes from the address; past the third block the
        // keyboard sends zeros.
        if (address >= area->size())
            return kStatusOutOfRange;
        const size_t n = std::min(kReportPayloadSize, area->size() - address);
        std::copy_n(area->begin() + address, n, answer.begin() + kReportPayloadOffset);
        return kEmptyStatus;
    }
    if (address + length > area->size())
        return kStatusOutOfRange;
    if (!write) {
        std::copy_n(area->begin() + address, length, answer.begin() + kReportPayloadOffset);
        return kEmptyStatus;
    }
    const auto payload = request.begin() + kReportPayloadOffset;
    if (area == &settings_) {
        // Byte 10 is the active profile; bytes 11-43 describe the keyboard itself and stay.
        for (size_t i = 0; i < length; ++i) {
            const size_t at = address + i;
            if (at == kActiveProfileByte && payload[i] >= kProfileCount)
                return kStatusOutOfRange;
        }
        for (size_t i = 0; i < length; ++i)
            if (address + i < kCapacityByte)
                settings_[address + i] = payload[i];
    } else {
        std::copy_n(payload, length, area->begin() + address);
    }
    changed_ = true;
    return kEmptyStatus;
}

void VirtualKeyboard::SetFaults(const KeyboardFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

KeyboardFaults VirtualKeyboard::Faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

bool VirtualKeyboard::SwitchProfile(uint8_t profile) {
    std::lock_guard lock(mutex_);
    if (profile >= kProfileCount)
        return false;
    settings_[kActiveProfileByte] = profile;
    changed_ = true;
    return true;
}

std::vector<uint8_t> VirtualKeyboard::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

std::vector<uint8_t> VirtualKeyboard::Lighting() const {
    std::lock_guard lock(mutex_);
    return lighting_;
}

std::vector<uint8_t> VirtualKeyboard::Colours() const {
    std::lock_guard lock(mutex_);
    return colours_;
}

std::vector<uint8_t> VirtualKeyboard::KeyTable(int profile) const {
    std::lock_guard lock(mutex_);
    if (profile < 0 || profile >= kProfileCount)
        return {};
    const auto begin = keyTables_.begin() + profile * kKeyTableSize;
    return std::vector<uint8_t>(begin, begin + kKeyTableSize);
}

std::vector<uint8_t> VirtualKeyboard::FactoryTable() const {
    return std::vector<uint8_t>(kBuiltInFactoryKeyTable.begin(), kBuiltInFactoryKeyTable.end());
}

std::vector<uint8_t> VirtualKeyboard::Macros() const {
    std::lock_guard lock(mutex_);
    return macros_;
}

std::vector<uint8_t> VirtualKeyboard::BankStatus() const {
    std::lock_guard lock(mutex_);
    return bank_;
}

std::vector<std::string> VirtualKeyboard::Log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

void VirtualKeyboard::ClearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

} // namespace brindle
