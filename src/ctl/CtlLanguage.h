// How brindlectl finds its program folder, the per-user settings key and the language, the same
// way the program does. Commands that show texts build one of these.
#pragma once

#include "core/app/ProgramPaths.h"
#include "core/lang/Language.h"
#include "core/platform/KeyStore.h"

namespace brindle::ctl {

class CtlLanguage {
public:
    // Paths of the running brindlectl, the settings key under the user's configuration folder.
    CtlLanguage();
    CtlLanguage(const CtlLanguage&) = delete;
    CtlLanguage& operator=(const CtlLanguage&) = delete;

    const ProgramPaths& Paths() const { return paths_; }
    KeyStore& Settings() { return settings_; }
    Language& Lang() { return language_; }
    // Texts of the user's language (chooses and stores it on the first run).
    TextLookup CurrentLookup() { return language_.Lookup(language_.GetLanguageIndex()); }

private:
    ProgramPaths paths_;
    KeyStore settings_;
    Language language_;
};

} // namespace brindle::ctl
