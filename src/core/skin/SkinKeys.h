// Names of the skin layout files and the key names formed from numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brindle {

// Layout files, relative to the skin folder.
inline constexpr std::string_view kMainLayoutFile = "Main.ini";
inline constexpr std::string_view kProfileLayoutFile = "Profile.ini";
inline constexpr std::string_view kCompositeLayoutFile = "Composite.ini";
inline constexpr std::string_view kUpdateLayoutFile = "UpdateDlg.ini";

// Sections of a layout file.
inline constexpr std::string_view kScreenSection = "SCREEN";
inline constexpr std::string_view kButtonSection = "BUTTONINFO";
inline constexpr std::string_view kArrowFrameSection = "BUTTONINFO2";

// "KEY_%03X": a key button by its key index, e.g. "KEY_01E" for A.
std::string KeyButtonSkinKey(std::uint8_t keyIndex);

// "FUNC_G%d" with n + 1: extra key n (0..8) is "FUNC_G1".."FUNC_G9".
std::string ExtraKeySkinKey(int extraKey);

// "%s%d": an arrow frame position, e.g. ArrowFrameSkinKey("DOWN_ARROW_LEFT", 1).
std::string ArrowFrameSkinKey(std::string_view stem, int frame);

} // namespace brindle
