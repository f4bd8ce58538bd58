// A macro as the configuration contexts and profile files hold it: a fixed 16512-byte record,
// little-endian, byte for byte what a profile file stores after the key pages. Records are plain
// data: copy them with memcpy, zero them with `MacroRecord{}`.
//
//   bytes 0-499    name, UTF-16, NUL-terminated, at most 249 characters
//   byte  500      play count, 1-255: how often the keyboard plays the macro per key press
//   byte  501      0
//   bytes 502-503  new flag: 1 from creation in the open dialog until the next apply
//   bytes 504-505  repeat mode (0 once, 1 repeat, 2 until the key is pressed again); never sent
//   bytes 506-507  macro id, 1-100, unique within a list; key entries of type 4 point at it
//   bytes 508-509  action count, 0-2000
//   bytes 510-511  0
//   bytes 512-     2000 actions; those beyond the count are zero
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

// Limits of a macro list. The keyboard numbers macros by list position in one byte, and the
// dialogs size their lists for these counts.
constexpr std::size_t kMaxMacros = 100;
constexpr std::size_t kMaxMacroActions = 2000;
constexpr std::size_t kMacroNameCapacity = 250; // UTF-16 units incl. the terminator
constexpr std::size_t kMaxMacroNameLength = kMacroNameCapacity - 1;
constexpr std::uint8_t kMinPlayCount = 1;
constexpr std::uint8_t kMaxPlayCount = 255;
constexpr std::uint16_t kMinMacroId = 1;
constexpr std::uint16_t kMaxMacroId = 100;

// Delays. A typed delay is a multiple of the keyboard's 10 ms unit and at most 40000 ms; a
// recorded delay is the measured time and has no upper limit until it is packed for the keyboard.
constexpr std::uint32_t kMacroDelayUnitMs = 10;
constexpr std::uint32_t kMaxTypedDelayMs = 40000;
// The delay stored for recorded events while the record-delay setting is off.
constexpr std::uint32_t kFixedRecordDelayMs = 50;
// Keys that report only their release are recorded as a press this long before the release.
constexpr std::uint32_t kReleaseOnlyPressDelayMs = 2;

// Repeat modes (record bytes 504-505); only the dialog uses them.
constexpr std::uint16_t kRepeatOnce = 0;
constexpr std::uint16_t kRepeatPlay = 1;
constexpr std::uint16_t kRepeatUntilKeyDown = 2;

// Action direction (bytes 6-7 of an action).
constexpr std::uint16_t kActionPressed = 0;
constexpr std::uint16_t kActionReleased = 1;

// One timed key event of a macro, 8 bytes.
struct MacroAction {
    std::uint32_t delayMs;  // wait after this action before the next one
    std::uint16_t keyCode;  // KeyCode: set-1 scan code, +0x100 for E0 keys
    std::uint16_t released; // kActionPressed or kActionReleased
};

struct MacroRecord {
    char16_t name[kMacroNameCapacity];
    std::uint8_t playCount;
    std::uint8_t reserved501;
    std::uint16_t newFlag;
    std::uint16_t repeatMode;
    std::uint16_t id;
    std::uint16_t actionCount;
    std::uint16_t reserved510;
    MacroAction actions[kMaxMacroActions];
};

// The macro list of a configuration context: list order is display order, encoding order and the
// keyboard's macro numbering. A std::vector keeps the records contiguous, as files store them.
using MacroList = std::vector<MacroRecord>;

static_assert(std::endian::native == std::endian::little,
              "records are stored by copying their bytes; a big-endian port needs conversions");
static_assert(sizeof(MacroAction) == 8);
static_assert(offsetof(MacroAction, keyCode) == 4);
static_assert(offsetof(MacroAction, released) == 6);
static_assert(sizeof(MacroRecord) == 16512);
static_assert(offsetof(MacroRecord, playCount) == 500);
static_assert(offsetof(MacroRecord, reserved501) == 501);
static_assert(offsetof(MacroRecord, newFlag) == 502);
static_assert(offsetof(MacroRecord, repeatMode) == 504);
static_assert(offsetof(MacroRecord, id) == 506);
static_assert(offsetof(MacroRecord, actionCount) == 508);
static_assert(offsetof(MacroRecord, reserved510) == 510);
static_assert(offsetof(MacroRecord, actions) == 512);

// The record's name up to its terminator, at most 249 characters (a damaged file may leave the
// field unterminated).
std::u16string MacroName(const MacroRecord& record);
// Stores `name` cut to 249 units and terminated; the rest of the name field becomes zero.
void SetMacroName(MacroRecord& record, std::u16string_view name);
// The action count as far as the record can hold it (a damaged file may say more than 2000).
std::size_t MacroActionCount(const MacroRecord& record);

} // namespace brindle
