#include "core/skin/CIniFile.h"

#include "core/platform/IniFile.h"

namespace brindle {

std::optional<std::u16string> CIniFile::ReadValue(std::u16string_view section,
                                                  std::u16string_view key) const {
    if (path_.empty())
        return std::nullopt;
    std::u16string value = ReadIniString(path_, section, key, u"", kValueBuffer);
    if (value.empty())
        return std::nullopt;
    return value;
}

bool CIniFile::WriteValue(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) const {
    if (path_.empty())
        return false;
    return WriteIniString(path_, section, key, value);
}

} // namespace brindle
