// Where the running instance keeps its lock file and its message socket: $XDG_RUNTIME_DIR, or a
// private folder /tmp/brindle-<uid> when the session offers none.
#pragma once

#include <string>

namespace brindle {

// Empty when no usable folder exists (the /tmp fallback belongs to someone else or cannot be
// made private).
std::string InstanceRuntimeFolder();

// Creates `path` with mode 0700 when missing. An existing folder is accepted only when it is a
// real folder (not a link) owned by this user; its mode is then narrowed to 0700.
bool MakePrivateFolder(const std::string& path);

} // namespace brindle
