// How the device connection's threads reach the main window. The program implements it on the GUI
// thread (a send runs the handler there and waits for it, a post queues it); tests record calls.
#pragma once

#include <cstdint>

namespace brindle {

// Main-window messages. Each carries its four-character code in wParam; a handler ignores the
// message when wParam holds anything else (0x4753 carries 0).
namespace wm {
constexpr uint32_t kProfileLoaded = 0x5452;   // PROF: keyboard attached, its tables are read
constexpr uint32_t kKeyboardRemoved = 0x4753; // wParam 0
constexpr uint32_t kOpen = 0x5350;            // OPEN: show the window
constexpr uint32_t kBankSwitched = 0x5045;    // DEL: the keyboard switched the extra-key bank
constexpr uint32_t kKill = 0x4D4B;            // KILL: exit
constexpr uint32_t kInit = 0x4D4E;            // INIT: create the tray icon and hide
constexpr uint32_t kLanguage = 0x5041;        // LANG: lParam = language index
} // namespace wm

namespace wcode {
constexpr uint32_t kProf = 0x50524F46;
constexpr uint32_t kOpen = 0x4F50454E;
constexpr uint32_t kDel = 0x004C4544;
constexpr uint32_t kKill = 0x4C4C494B;
constexpr uint32_t kInit = 0x494E4954;
constexpr uint32_t kLang = 0x4C414E47;
} // namespace wcode

constexpr int kBusyTimerId = 1050;    // animates the busy indicator every 50 ms
constexpr int kProfileTimerId = 1051; // one-shot: the keyboard switched its profile
constexpr int kBusyTimerPeriodMs = 50;

// Tray icon resource ids.
constexpr int kTrayIconAbsent = 128;
constexpr int kTrayIconAttached = 141;
constexpr int kTrayIconBacklightOn = 142;

class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;
    // Runs the handler on the GUI thread and returns its result. Never called while the caller
    // holds a configuration lock.
    virtual intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void SetTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;
    virtual void Hide() = 0;
    virtual void SetTrayIcon(int resourceId) = 0;
    // True once the main window's initialisation has finished (tray icon created).
    virtual bool InitialisationFinished() = 0;
    virtual bool ChangesPending() = 0;
    virtual void DisableApply() = 0;
    virtual void ShowBusyIndicator() = 0;
    virtual void HideBusyIndicator() = 0;
};

} // namespace brindle
