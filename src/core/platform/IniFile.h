// INI files read and written by name, with the behaviour of the Windows private-profile
// functions (see IniDocument.h for the rules). Every call opens the file again; code that reads
// many keys of one file loads an IniDocument once instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/platform/IniDocument.h"

namespace brindle {

// The value of `key` in `section`, or `defaultValue` when the file, the section or the key is
// missing; cut to at most bufferSize - 1 characters.
std::u16string ReadIniString(const std::string& path, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue,
                             size_t bufferSize);

// The value's leading decimal number (optional sign); `defaultValue` when the file, section or
// key is missing or the value is empty; 0 when the value has no digits.
int ReadIniInt(const std::string& path, std::u16string_view section, std::u16string_view key,
               int defaultValue);

// Stores `value` under `key` in `section`, creating the file and its folder when needed. The file
// is replaced atomically; an existing file keeps its encoding and every other line. False when
// the file exists but cannot be read, the names or value do not fit on one line, or the file
// cannot be written; the old file then stays as it was.
bool WriteIniString(const std::string& path, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value);

} // namespace brindle
