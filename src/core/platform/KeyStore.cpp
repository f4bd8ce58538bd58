#include "core/platform/KeyStore.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "core/platform/IniFile.h"
#include "core/platform/UserFolders.h"
#include "core/platform/Utf.h"

namespace brindle {

namespace {

constexpr std::u16string_view kSection = u"Values";
constexpr std::u16string_view kDwordPrefix = u"dword:";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 0x20);
        if (a != prefix[i])
            return false;
    }
    return true;
}

// Creates the key's file when it is missing, as opening a registry key with create does.
bool OpenOrCreate(const std::string& file) {
    const size_t slash = file.rfind('/');
    if (!MakeFolders(file.substr(0, slash)))
        return false;
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

} // namespace

std::string KeyStore::FileForKeyPath(std::string_view keyPath, const std::string& configHome) {
    if (StartsWithNoCase(keyPath, "HKEY_CURRENT_USER\\"))
        keyPath.remove_prefix(18);
    else if (StartsWithNoCase(keyPath, "HKCU\\"))
        keyPath.remove_prefix(5);
    else
        return {};
    if (configHome.empty() || keyPath.empty())
        return {};
    std::string file = configHome + "/Brindle/registry";
    while (true) {
        const size_t sep = keyPath.find('\\');
        const std::string_view part = keyPath.substr(0, sep);
        if (part.empty() || part == "." || part == ".." ||
            part.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
            return {};
        file += '/';
        file += part;
        if (sep == std::string_view::npos)
            break;
        keyPath.remove_prefix(sep + 1);
    }
    return file + ".ini";
}

KeyStore::KeyStore(std::string_view keyPath) : KeyStore(keyPath, ConfigHome()) {}

KeyStore::KeyStore(std::string_view keyPath, const std::string& configHome) {
    std::string file = FileForKeyPath(keyPath, configHome);
    if (!file.empty() && OpenOrCreate(file))
        filePath_ = std::move(file);
}

std::optional<uint32_t> KeyStore::ReadDword(std::u16string_view name) const {
    if (!HoldsKey())
        return std::nullopt;
    const auto doc = IniDocument::LoadFile(filePath_);
    if (!doc)
        return std::nullopt;
    const auto raw = doc->FindRaw(kSection, name);
    if (!raw || raw->size() <= kDwordPrefix.size() || raw->size() > kDwordPrefix.size() + 8)
        return std::nullopt;
    for (size_t i = 0; i < kDwordPrefix.size(); ++i)
        if (FoldIniCase((*raw)[i]) != kDwordPrefix[i])
            return std::nullopt;
    uint32_t value = 0;
    for (size_t i = kDwordPrefix.size(); i < raw->size(); ++i) {
        const char16_t c = (*raw)[i];
        uint32_t digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    return value;
}

bool KeyStore::WriteDword(std::u16string_view name, uint32_t value) {
    if (!HoldsKey())
        return false;
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", value);
    return WriteIniString(filePath_, kSection, name, Utf8ToUtf16(text));
}

std::optional<std::u16string> KeyStore::ReadString(std::u16string_view name) const {
    if (!HoldsKey())
        return std::nullopt;
    const auto doc = IniDocument::LoadFile(filePath_);
    if (!doc)
        return std::nullopt;
    auto raw = doc->FindRaw(kSection, name);
    if (!raw)
        return std::nullopt;
    if (raw->size() >= 2 && raw->front() == u'"' && raw->back() == u'"')
        return raw->substr(1, raw->size() - 2);
    // An unquoted value was written by hand; it is a text unless it is a DWORD.
    if (raw->size() >= kDwordPrefix.size()) {
        bool dword = true;
        for (size_t i = 0; i < kDwordPrefix.size(); ++i)
            dword = dword && FoldIniCase((*raw)[i]) == kDwordPrefix[i];
        if (dword)
            return std::nullopt;
    }
    return raw;
}

bool KeyStore::WriteString(std::u16string_view name, std::u16string_view value) {
    if (!HoldsKey())
        return false;
    std::u16string quoted = u"\"";
    quoted.append(value);
    quoted.push_back(u'"');
    return WriteIniString(filePath_, kSection, name, quoted);
}

} // namespace brindle
