#include "core/platform/IniFile.h"

#include <cerrno>
#include <sys/stat.h>

#include "core/platform/AtomicFile.h"

namespace brindle {

std::u16string ReadIniString(const std::string& path, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue,
                             size_t bufferSize) {
    const auto doc = IniDocument::LoadFile(path);
    if (!doc)
        return IniDocument().ReadString(section, key, defaultValue, bufferSize);
    return doc->ReadString(section, key, defaultValue, bufferSize);
}

int ReadIniInt(const std::string& path, std::u16string_view section, std::u16string_view key,
               int defaultValue) {
    const auto doc = IniDocument::LoadFile(path);
    if (!doc)
        return defaultValue;
    return doc->ReadInt(section, key, defaultValue);
}

bool WriteIniString(const std::string& path, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) {
    auto doc = IniDocument::LoadFile(path);
    if (!doc) {
        // Only a file that does not exist yet may be started afresh; one that exists but cannot
        // be read must not be replaced by a file holding this one value.
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 || errno != ENOENT)
            return false;
        doc.emplace();
    }
    if (!doc->SetValue(section, key, value))
        return false;
    const std::vector<uint8_t> bytes = doc->ToBytes();
    return WriteFileAtomically(path, bytes);
}

} // namespace brindle
