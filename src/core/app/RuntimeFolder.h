// Private folders for the running instance's lock file and message sockets (the folder itself is
// RuntimeDir() of core/platform/UserFolders.h).
#pragma once

#include <string>

namespace brindle {

// Creates `path` with mode 0700 when missing. An existing folder is accepted only when it is a
// real folder (not a link) owned by this user; its mode is then narrowed to 0700.
bool MakePrivateFolder(const std::string& path);

} // namespace brindle
