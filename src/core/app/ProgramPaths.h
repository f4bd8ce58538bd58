// Where the program finds its own files. Everything follows the folder of the running executable,
// so a copy of the program folder elsewhere runs with its own skins and language files. Built once
// at start and never changed. Folders end with '/'.
#pragma once

#include <string>

namespace brindle {

struct ProgramPaths {
    std::string programFileName;    // "brindle": compared by the instance search
    std::string programFolder;      // "/opt/brindle/"
    std::string helpFolder;         // programFolder + "Help/"
    std::string mainSkinFile;       // programFolder + "Skins/Main.ini"
    std::string skinFolder;         // programFolder + "Skins/"
    std::string userLightingPrefix; // programFolder + "Skins/UserDengColor_" (+ number + ".userd")
    std::string profileSkinFile;    // programFolder + "Skins/Profile.ini"
    std::string profileSkinFolder;  // its folder, the skin folder
    std::string updateSkinFile;     // programFolder + "Skins/UpdateDlg.ini"
    std::string updateSkinFolder;
    std::string
        packageFolder; // programFolder + "Package" (no trailing '/', as the updater expects)
    std::string compositeSkinFile; // programFolder + "Skins/Composite.ini"
    std::string compositeSkinFolder;
    // The companion program, started when present. Linux programs carry no ".exe".
    std::string companionProgram; // programFolder + "DiRadave"

    // From the full path of the program file. A relative path is taken from the current folder.
    static ProgramPaths FromExecutable(const std::string& exePath);
    // From /proc/self/exe; when that cannot be read, the current folder and an empty file name.
    static ProgramPaths ForRunningProgram();
};

} // namespace brindle
