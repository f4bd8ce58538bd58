// The messages between the device service library's sim backend and the virtual keyboard.
//
// The two sides talk over a UNIX SOCK_SEQPACKET socket, so every message arrives whole. A message
// is a 4-byte header followed by `length` bytes:
//
//   byte 0     message type (SimMessageType)
//   byte 1     interface (SimInterface), 0 where none applies
//   bytes 2-3  length of the bytes that follow, little-endian
//
// Library -> keyboard: kReport (an output report for the interface), kControl (a `ctl` command
// line as text). Keyboard -> library: kReport (an input report from the interface), kDeviceState
// (one byte: 1 attached, 0 detached; sent on connect and on every change), kControlOutput (a piece
// of a command's output text) and kControlDone (one byte: the command's exit status).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace brindle {

enum class SimMessageType : uint8_t {
    kReport = 1,
    kDeviceState = 2,
    kControl = 3,
    kControlOutput = 4,
    kControlDone = 5,
};

enum class SimInterface : uint8_t {
    kNone = 0,
    kControl = 1,  // vendor interface, 64-byte configuration reports
    kConsumer = 2, // notifications: report id 3, then the 16-bit consumer code
    kLocks = 3,    // lock-status interface: the extra-key bank status
};

constexpr size_t kSimHeaderSize = 4;
constexpr size_t kSimMaxBody = 16384; // text output is split into pieces of at most this size
constexpr size_t kSimMaxMessage = kSimHeaderSize + kSimMaxBody;
constexpr uint8_t kSimConsumerReportId = 3;

struct SimMessage {
    SimMessageType type;
    SimInterface iface;
    std::span<const uint8_t> body;
};

inline std::vector<uint8_t> EncodeSimMessage(SimMessageType type, SimInterface iface,
                                             std::span<const uint8_t> body) {
    const size_t n = body.size() < kSimMaxBody ? body.size() : kSimMaxBody;
    std::vector<uint8_t> out(kSimHeaderSize + n);
    out[0] = static_cast<uint8_t>(type);
    out[1] = static_cast<uint8_t>(iface);
    out[2] = static_cast<uint8_t>(n & 0xFF);
    out[3] = static_cast<uint8_t>(n >> 8);
    for (size_t i = 0; i < n; ++i)
        out[kSimHeaderSize + i] = body[i];
    return out;
}

// Null for a message shorter than its header says or of an unknown type.
inline std::optional<SimMessage> DecodeSimMessage(std::span<const uint8_t> bytes) {
    if (bytes.size() < kSimHeaderSize)
        return std::nullopt;
    const size_t n = bytes[2] | (bytes[3] << 8);
    if (bytes.size() < kSimHeaderSize + n || n > kSimMaxBody)
        return std::nullopt;
    if (bytes[0] < static_cast<uint8_t>(SimMessageType::kReport) ||
        bytes[0] > static_cast<uint8_t>(SimMessageType::kControlDone))
        return std::nullopt;
    if (bytes[1] > static_cast<uint8_t>(SimInterface::kLocks))
        return std::nullopt;
    return SimMessage{static_cast<SimMessageType>(bytes[0]), static_cast<SimInterface>(bytes[1]),
                      bytes.subspan(kSimHeaderSize, n)};
}

} // namespace brindle
