// The 64-byte report every configuration exchange with the keyboard uses, request and answer alike.
//
//   byte 0     report id, always 4
//   bytes 1-2  request checksum, little-endian: 16-bit sum of bytes 3..63 (ignored in answers)
//   byte 3     command code (an answer echoes it)
//   byte 4     length (or the high half of a command code)
//   bytes 5-6  address, little-endian
//   byte 7     0 in requests; status in answers (0xFF and 0xFE are errors)
//   bytes 8-63 payload / answer data, up to 56 bytes
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace brindle {

constexpr size_t kReportSize = 64;
constexpr size_t kReportPayloadOffset = 8;
constexpr size_t kReportPayloadSize = 56;
constexpr uint8_t kReportId = 4;
constexpr uint8_t kStatusBadRequest = 0xFF; // bad checksum or unknown command
constexpr uint8_t kStatusOutOfRange = 0xFE; // address or length outside the command's area

using Report = std::array<uint8_t, kReportSize>;

// 16-bit sum of bytes 3..63.
inline uint16_t ReportChecksum(const Report& report) {
    uint32_t sum = 0;
    for (size_t i = 3; i < kReportSize; ++i)
        sum += report[i];
    return static_cast<uint16_t>(sum);
}

// Fills bytes 1 and 2; call after every other byte is in place.
inline void SealReport(Report& report) {
    const uint16_t sum = ReportChecksum(report);
    report[1] = static_cast<uint8_t>(sum & 0xFF);
    report[2] = static_cast<uint8_t>(sum >> 8);
}

// A sealed request: command, length, 16-bit address and up to 56 payload bytes (more are cut).
inline Report MakeRequest(uint8_t command, uint8_t length, uint16_t address,
                          std::span<const uint8_t> payload = {}) {
    Report r{};
    r[0] = kReportId;
    r[3] = command;
    r[4] = length;
    r[5] = static_cast<uint8_t>(address & 0xFF);
    r[6] = static_cast<uint8_t>(address >> 8);
    const size_t n = payload.size() < kReportPayloadSize ? payload.size() : kReportPayloadSize;
    for (size_t i = 0; i < n; ++i)
        r[kReportPayloadOffset + i] = payload[i];
    SealReport(r);
    return r;
}

inline uint16_t ReportAddress(const Report& r) {
    return static_cast<uint16_t>(r[5] | (r[6] << 8));
}

// Command codes.
namespace cmd {
constexpr uint8_t kBeginTransfer = 1;
constexpr uint8_t kEndTransfer = 2;
constexpr uint8_t kReadSettings = 3;
constexpr uint8_t kWriteSettings = 4;
constexpr uint8_t kReadLighting = 5;
constexpr uint8_t kWriteLighting = 6;
constexpr uint8_t kReadKeyTable = 7;
constexpr uint8_t kWriteKeyTable = 8;
constexpr uint8_t kReadMacroArea = 9;
constexpr uint8_t kWriteMacroArea = 10;
constexpr uint8_t kReadDefaultKeyTable = 15;
constexpr uint8_t kWriteKeyColours = 17;
constexpr uint8_t kBootMode = 0xEE;
} // namespace cmd

// Sizes of the keyboard's memory areas.
constexpr size_t kSettingsBlockSize = 44;
constexpr size_t kLightingBlockSize = 42; // per profile, at profile x 42
constexpr size_t kKeyColoursSize = 512;   // per profile, at profile x 512
constexpr size_t kKeyTableSize = 378;     // per profile, at profile x 378
constexpr int kProfileCount = 3;

// Result codes of keyboard operations.
namespace result {
constexpr int kSuccess = 1;
constexpr int kNoKeyboard = 0;    // no keyboard, or the wait failed
constexpr int kWriteRefused = -1; // the library refused the write
constexpr int kNoAnswer = -2;     // no matching answer after three attempts
constexpr int kStatusFF = -102;   // answer status 0xFF
constexpr int kStatusFE = -103;   // answer status 0xFE
constexpr int kBadProfile = -201; // profile index not 0, 1 or 2
} // namespace result

} // namespace brindle
