// A window message crossing from one copy of the program to the running one: the message id,
// its four-character wParam code and lParam, answered with the handler's result.
#pragma once

#include <cstdint>

namespace brindle {

struct InstanceMessage {
    uint32_t message = 0;
    uint32_t wParam = 0;
    int64_t lParam = 0;
};

// The two messages a starting copy sends to the running instance.
constexpr uint32_t kMessageOpen = 0x5350;  // wParam kCodeOpen: show and activate the window
constexpr uint32_t kMessageKill = 0x4D4B;  // wParam kCodeKill: run the exit sequence
constexpr uint32_t kCodeOpen = 0x4F50454E; // 'OPEN'
constexpr uint32_t kCodeKill = 0x4C4C494B; // the bytes K, I, L, L in memory order

// The window user data that marks the running instance's main window ("MAIN").
constexpr uint32_t kMainWindowMark = 0x4D41494E;

} // namespace brindle
