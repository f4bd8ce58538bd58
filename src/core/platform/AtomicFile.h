// Replacing a file so that readers see either the old contents or the new, never a mix.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace brindle {

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to disk and renames it
// over `path`. The folder is created when it is missing. A path that is a symbolic link is
// written through to the file it points at. A new file gets the mode 0666 less the umask; an
// existing file keeps its mode. On any error the old file stays as it was, the temporary file
// is removed and false is returned.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Reads a whole file. False when it cannot be opened or read (a folder, no permission, missing).
bool ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace brindle
