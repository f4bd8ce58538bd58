// The main window: the keyboard picture with one button per key, the lighting panel, the profile
// and report-rate buttons and the window buttons. It lives hidden in the tray most of the time.
//
// Every window message, command and timer goes through HandleMessage, OnCommand and OnTimer, so
// the device connection's threads (through MainWindowPort), the instance mailbox, the tray and
// the tests all reach the window the same way. Messages carry their four-character code in
// wParam and are ignored with any other wParam.
//
// A keyboard write (Apply, or the write of an imported profile file) runs on a worker thread
// while the busy indicator animates; commands and messages that could change the image meanwhile
// wait and run, in order, when it ends.
#pragma once

#include <QPointer>
#include <QTimer>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "core/app/InstanceListener.h"
#include "core/app/NamedEvents.h"
#include "core/config/ConfigContext.h"
#include "core/config/DeviceKeyboardMemory.h"
#include "core/config/ProfileStore.h"
#include "core/device/DeviceConnection.h"
#include "core/device/DeviceProtocol.h"
#include "core/device/HidServApi.h"
#include "core/device/MainWindowPort.h"
#include "core/lang/TextSlots.h"
#include "gui/app/GuiThreadCall.h"
#include "gui/app/GuiThreadMessages.h"
#include "gui/mainwnd/MainPictures.h"
#include "gui/mainwnd/MainWindowSetup.h"
#include "gui/skin/CBaseDialog.h"

class QLabel;
class QLineEdit;
class QMenu;

namespace brindle {

struct ApplyPath;
class CAboutDlg;
class CPngButton;
class CTrayIcon;
class KeyboardView;
class LightingPanelControls;

// Window messages beyond those of the device connection.
namespace wm {
constexpr uint32_t kTimeChange = 0x1E;    // posted: runs the apply sequence
constexpr uint32_t kSliderMoved = 0x28D1; // wParam slider id, lParam position
constexpr uint32_t kTrayCallback = 1725;  // the tray icon's callback message
} // namespace wm

// Command ids of the window's buttons and menus.
namespace ids {
constexpr int kOk = 1, kCancel = 2, kProfileManager = 1005, kApply = 1006, kMacroEditor = 1007,
              kProfileMenu = 1009, kLink = 1121, kHelp = 1122, kMinimize = 1123, kClose = 1124,
              kButtonMenu = 1139, kModeSwitch = 1144, kDefaultProfile = 1138, kFn = 1174;
constexpr int kTrayOpen = 32771, kAbout = 32773, kTrayExit = 32774, kTrayStop = 32775,
              kImport = 32776, kExport = 32777, kHide = 32779;
constexpr int kTrayIconId = 140;
} // namespace ids

class CKeyweaveDlg : public CBaseDialog, public MainWindowPort {
    Q_OBJECT
public:
    explicit CKeyweaveDlg(MainWindowSetup setup, QWidget* parent = nullptr);
    ~CKeyweaveDlg() override;

    // The initialisation, in order: skin, library, connection, default image, pictures, layout,
    // lighting panel, mark, caption, named events, INIT (posted), LANG (sent). A failure of the
    // skin or the library ends the process through setup.exitProcess; false then.
    bool Initialise();

    intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void OnCommand(int id);
    void OnTimer(int id);

    // MainWindowPort: callable from any thread.
    intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void SetTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    void Hide() override;
    void SetTrayIcon(int resourceId) override;
    bool InitialisationFinished() override { return initialised_.load(); }
    bool ChangesPending() override { return applyPending_.load(); }
    void DisableApply() override;
    void ShowBusyIndicator() override;
    void HideBusyIndicator() override;

    // ---- what the keyboard view, the tray and the tests use ----
    CPngButton* Button(int controlId) const;
    QWidget* Control(int controlId) const;
    const MainPictures& Pictures() const { return pictures_; }
    ConfigContexts& Contexts() { return contexts_; }
    DeviceProtocol* Protocol() { return protocol_.get(); }
    DeviceConnection* Connection() { return connection_.get(); }
    KeyboardView& View() { return *view_; }
    CTrayIcon& Tray() { return *tray_; }
    CAboutDlg* About() const;
    MainShared& Shared() { return *setup_.shared; }
    const MainWindowSetup& Setup() const { return setup_; }
    TextLookup Lookup() const;
    int LanguageIndex() const { return languageIndex_; }
    const TextSlots& Slots() const { return slots_; }
    const QString& LinkAddress() const { return link_; }
    int TrayIconShown() const { return trayIconShown_; }

    void EnableApply();
    bool ApplyPending() const { return applyPending_.load(); }
    bool Applying() const { return applying_.load(); }
    bool Ended() const { return ended_; }
    bool BusyVisible() const;
    int BusyFrame() const { return busyFrame_; }
    // The key page of the keyboard's active profile (0 while it is unknown).
    int ActivePage();

    // The show request: the no-keyboard message when none is attached, else shows the window.
    void ShowRequest();
    void ApplySequence();
    // The button menu's Import: a profile file chosen by the user becomes the image and is
    // written to the keyboard (all three profiles).
    void ImportProfileFile();
    // The button menu's Backup: the image is saved to a file chosen by the user.
    void BackupProfileFile();
    void ExitSequence();
    void OpenHelp();
    void OpenAbout();

signals:
    // The exit sequence ran: the program ends now.
    void ended();
    // An apply or an import's keyboard write finished (tests wait for it).
    void applyFinished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}

private:
    bool IsDeferred(int command) const;
    void RunOrDefer(std::function<void()> work);
    void RunDeferred();
    // Runs `write` on the worker thread; the caller has set applying_.
    void StartKeyboardWrite(std::function<void(ApplyPath&)> write);
    void OnInit();
    void OnProfileLoaded();
    void OnKeyboardRemoved();
    void OnLanguage(int index);
    void ApplySkinLanguageTexts();
    void SetMenuTexts(QMenu& menu);
    void ShowButtonMenu();
    void LoadMainPictures();
    void LayoutWindowButtons();
    void AnimateBusy();
    void OnProfileTimer();
    QIcon ProgramIcon(int resourceId) const;
    CPngButton* AddButton(int controlId);

    MainWindowSetup setup_;
    std::unique_ptr<FileChooser> ownFiles_; // when the setup brings none
    GuiThreadCall gui_;
    std::unique_ptr<GuiThreadMessages> workerMessages_;
    TextSlots slots_;
    int languageIndex_ = 0;
    QString link_;

    std::optional<HidServApi> api_;
    std::unique_ptr<DeviceProtocol> protocol_;
    std::unique_ptr<DeviceKeyboardMemory> keyboard_;
    std::unique_ptr<DeviceConnection> connection_;
    std::unique_ptr<ProfileStore> store_;
    ConfigContexts contexts_;

    MainPictures pictures_;
    std::map<int, QWidget*> controls_;
    std::unique_ptr<KeyboardView> view_;
    std::unique_ptr<LightingPanelControls> lighting_;
    QLabel* busy_ = nullptr;
    QPixmap busyFrames_[10];
    int busyFrame_ = 0;
    QTimer busyTimer_;
    QTimer profileTimer_;

    CTrayIcon* tray_ = nullptr;
    int trayIconShown_ = 0;
    QPointer<CAboutDlg> about_;
    InstanceListener listener_;
    NamedEvents events_;

    std::atomic<bool> initialised_{false};
    std::atomic<bool> applyPending_{false};
    std::atomic<bool> applying_{false};
    std::thread applyThread_;
    std::deque<std::function<void()>> deferred_;
    bool ended_ = false;
};

} // namespace brindle
