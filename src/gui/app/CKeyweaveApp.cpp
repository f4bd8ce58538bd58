#include "gui/app/CKeyweaveApp.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "core/app/DemoKeyboard.h"
#include "core/app/InstanceStartup.h"
#include "core/app/MainShared.h"
#include "core/app/ProgramPaths.h"
#include "core/lang/Language.h"
#include "core/platform/KeyStore.h"
#include "core/platform/UserFolders.h"
#include "gui/app/QtUserMessages.h"
#include "gui/mainwnd/CKeyweaveDlg.h"

namespace brindle {

CKeyweaveApp::Options CKeyweaveApp::ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--demo")
            options.demo = true;
        else
            options.instanceArguments.push_back(std::move(argument));
    }
    return options;
}

int CKeyweaveApp::Run(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const ProgramPaths paths = ProgramPaths::ForRunningProgram();
    MainShared& shared = ProcessMainShared();
    // The per-user settings key lives as long as the process; the language reads it.
    auto* settingsKey = new KeyStore("HKEY_CURRENT_USER\\Software\\QX5570");
    shared.settingsKey = reinterpret_cast<intptr_t>(settingsKey);
    KeyStore appProfiles("HKEY_CURRENT_USER\\Software\\Keyweave_Orvane\\Brindle\\PROFILES");

    // Decided before any window or display connection exists: a second copy only knocks.
    const std::string runtime = RuntimeDir();
    SystemInstanceServices instance(runtime, paths.programFileName, paths.companionProgram);
    if (RunInstanceLogic(options.instanceArguments, instance, shared) ==
        InstanceOutcome::EndProcess)
        return 0;

    if (options.demo) {
        std::string problem;
        const std::string device =
            StartDemoKeyboard(paths.programFolder, DefaultDemoKeyboardPlaces(), &problem);
        if (device.empty()) {
            std::fprintf(stderr, "brindle: %s\n", problem.c_str());
            return 1;
        }
        setenv("BRINDLE_DEVICE", device.c_str(), 1);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindle"));
    QApplication::setOrganizationName(QStringLiteral("Keyweave_Orvane"));
    // Lets Wayland desktops match the window to brindle.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("brindle"));
    QApplication::setQuitOnLastWindowClosed(false);

    Language language(paths.programFolder, *settingsKey);
    QtUserMessages messages;
    MainWindowSetup setup;
    setup.paths = paths;
    setup.language = &language;
    setup.appProfiles = &appProfiles;
    setup.messages = &messages;
    setup.shared = &shared;
    setup.instanceMutex = &instance.Mutex();
    setup.runtimeFolder = runtime;
    CKeyweaveDlg window(setup);
    QObject::connect(&window, &CKeyweaveDlg::ended, &application, [] { QApplication::exit(0); });
    if (!window.Initialise())
        return 0;
    application.exec();
    return 0;
}

} // namespace brindle
