#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

CtlLanguage::CtlLanguage()
    : paths_(ProgramPaths::ForRunningProgram()), settings_(kSettingsKeyPath),
      language_(paths_.programFolder, settings_) {}

} // namespace brindle::ctl
