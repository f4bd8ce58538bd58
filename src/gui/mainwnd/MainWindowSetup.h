// Everything the main window is given from outside: paths, language, stores, message boxes, the
// instance lock, file dialogs and how the process ends. The program fills it from the running
// system; tests fill it with temporary folders and scripted message boxes.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/app/MainShared.h"
#include "core/app/ProgramPaths.h"
#include "core/device/DeviceConnection.h"
#include "core/device/DeviceProtocol.h"
#include "core/lang/Language.h"
#include "core/platform/FileChooser.h"
#include "core/platform/KeyStore.h"
#include "core/platform/UserMessages.h"

class QMenu;

namespace brindle {

class InstanceMutex;

struct MainWindowSetup {
    ProgramPaths paths;
    Language* language = nullptr;           // required
    KeyStore* appProfiles = nullptr;        // "...\Keyweave_Orvane\Brindle\PROFILES": "Flip"
    UserMessages* messages = nullptr;       // required
    FileChooser* files = nullptr;           // empty: the desktop's file dialogs
    MainShared* shared = nullptr;           // required
    InstanceMutex* instanceMutex = nullptr; // closed by the exit sequence
    std::string runtimeFolder;              // the instance mailbox lives here; empty: none
    std::string userFolder; // the per-user folder; empty: documents + "Keyweave_35B"
    // Start-up failures end the process silently with this code (0).
    std::function<void(int code)> exitProcess;
    // Opens a web address or a local file with the desktop.
    std::function<int(const std::string& target)> openDocument;
    // Shows a popup menu and returns the chosen command, 0 for none.
    std::function<int(QMenu& menu)> popupMenu;
    // Whether a tray host is there (tests: none, or a pretend one).
    std::function<bool()> trayAvailable;
    ExchangeSettings exchange;
    ConnectionSettings connection;
    std::chrono::milliseconds busyShowDelay{100};
};

} // namespace brindle
