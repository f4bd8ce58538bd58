// The per-user folders of the XDG base directory and user-dirs conventions. Every function reads
// the environment when called, so a test can point them at a temporary folder.
#pragma once

#include <string>

namespace brindle {

// $HOME, else the home folder of the user's passwd entry, else "/".
std::string HomeFolder();

// XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs ("$HOME/..." or an absolute path),
// else $HOME/Documents. No trailing '/'. The folder need not exist.
std::string DocumentsFolder();

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config.
std::string ConfigHome();

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
std::string DataHome();

// $XDG_RUNTIME_DIR when it is an absolute path, else /tmp/brindle-<uid>, created with mode 0700
// on demand. That fallback is only used when it is a real folder owned by this user; otherwise
// the result is empty.
std::string RuntimeDir();

// Creates `path` and every missing parent (mode 0777 less the umask). True when the folder
// exists afterwards.
bool MakeFolders(const std::string& path);

} // namespace brindle
