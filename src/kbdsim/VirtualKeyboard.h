// The virtual keyboard's memory and its side of the configuration protocol, without any socket.
//
// Usage inside a test process (SimServer puts it on a socket the device service library's sim
// backend reaches):
//
//   brindle::VirtualKeyboard keyboard({.stateFile = dir + "/state.bin"});
//   brindle::SimServer server(keyboard, dir + "/kbd.sock");
//   server.Start();                       // listens, keyboard attached
//   setenv("BRINDLE_DEVICE", ("sim:" + dir + "/kbd.sock").c_str(), 1);
//   ... exchange reports through libHidServ / hidserv_impl ...
//   server.RunCommand("fault drop 2");    // the same commands as `brindle-kbdsim ctl`
//   keyboard.Settings()[10];              // inspect memory
//   server.Stop();                        // also saves the state file
//
// Every member is safe to call from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/device/Report.h"
#include "kbdsim/SimWire.h"

namespace brindle {

struct VirtualKeyboardOptions {
    uint8_t capacityUnits = 64;   // settings byte 11: macro area size in units of 128 bytes
    std::vector<uint8_t> modes{}; // settings bytes 12-43; empty = 1..18 and 20
    std::string stateFile{};      // empty = memory is not persisted
};

// What the keyboard does with one report it received.
struct KeyboardReaction {
    std::optional<Report> answer; // sent back to the client that sent the report
    int delayMs = 0;              // answer this much later
    bool leave = false;           // the keyboard leaves the bus after this report
};

// Faults a test injects; each count applies to the next requests on the control interface.
struct KeyboardFaults {
    int dropAnswers = 0; // requests that get no answer (and are not carried out)
    int wrongEcho = 0;   // answers that echo another command code
    int badStatus = 0;   // answers with status `statusValue` (the request is not carried out)
    uint8_t statusValue = kStatusBadRequest;
    int delayMs = 0;      // every answer this much later
    int unplugAfter = -1; // leave after this many more requests; -1 = never
};

class VirtualKeyboard {
public:
    static constexpr size_t kLightingAreaSize = kLightingBlockSize * kProfileCount;
    static constexpr size_t kColoursAreaSize = kKeyColoursSize * kProfileCount;
    static constexpr size_t kKeyTablesAreaSize = kKeyTableSize * kProfileCount;
    static constexpr size_t kBankStatusSize = 2;
    static constexpr size_t kLogLimit = 100000; // oldest lines are dropped beyond this

    explicit VirtualKeyboard(VirtualKeyboardOptions options = {});

    // Loads the state file; a missing file leaves the fresh memory. False (with a reason) for a
    // file that cannot be read or is not a state file; the memory is then fresh too.
    bool Load(std::string* problem = nullptr);
    // Writes the state file atomically (temporary file, fsync, rename). True without a file.
    bool Save(std::string* problem = nullptr);
    // Saves when memory changed since the last save.
    bool SaveIfChanged(std::string* problem = nullptr);

    KeyboardReaction HandleReport(SimInterface iface, std::span<const uint8_t> report);

    void SetFaults(const KeyboardFaults& faults);
    KeyboardFaults Faults() const;

    // The profile key: the keyboard switches to `profile` itself (0..2).
    bool SwitchProfile(uint8_t profile);

    std::vector<uint8_t> Settings() const;
    std::vector<uint8_t> Lighting() const;
    std::vector<uint8_t> Colours() const;
    std::vector<uint8_t> KeyTable(int profile) const; // empty for a profile outside 0..2
    std::vector<uint8_t> FactoryTable() const;
    std::vector<uint8_t> Macros() const;
    std::vector<uint8_t> BankStatus() const;

    std::vector<std::string> Log() const;
    void ClearLog();

private:
    Report Answer(const Report& request, uint8_t status) const;
    KeyboardReaction HandleControl(std::span<const uint8_t> bytes);
    uint8_t Carry(Report& answer, const Report& request);
    void Fresh();
    void AddLog(SimInterface iface, std::span<const uint8_t> bytes);

    mutable std::mutex mutex_;
    VirtualKeyboardOptions options_;
    std::vector<uint8_t> settings_;
    std::vector<uint8_t> lighting_;
    std::vector<uint8_t> colours_;
    std::vector<uint8_t> keyTables_;
    std::vector<uint8_t> macros_;
    std::vector<uint8_t> bank_;
    KeyboardFaults faults_;
    std::vector<std::string> log_;
    bool changed_ = false;
};

} // namespace brindle
