// Starting outside programs and opening documents without waiting for them: the companion
// program, web links and the help page. The started program is never stopped by us.
#pragma once

#include <string>
#include <vector>

namespace brindle {

// Starts `program` with `arguments` in a session of its own, stdin/stdout/stderr on /dev/null.
// False when the file is not an executable or cannot be started. The child is reaped in the
// background, so it never lingers as a zombie.
bool StartProgramDetached(const std::string& program,
                          const std::vector<std::string>& arguments = {});

// Opens a web address or a document with the desktop's handler (xdg-open). The result keeps the
// old shell convention callers test: above 32 means it was handed over, 2 that there is no handler.
int OpenWithDesktop(const std::string& target);

} // namespace brindle
