// A per-user key of values in place of a registry key under HKEY_CURRENT_USER.
//
// Layout: the key path without its root ("HKEY_CURRENT_USER\" or "HKCU\") names an INI file under
// the configuration folder, each '\' becoming a folder:
//   HKEY_CURRENT_USER\Software\QX5570
//       -> $XDG_CONFIG_HOME/Brindle/registry/Software/QX5570.ini
//   HKEY_CURRENT_USER\Software\Keyweave_Orvane\Brindle\PROFILES
//       -> $XDG_CONFIG_HOME/Brindle/registry/Software/Keyweave_Orvane/Brindle/PROFILES.ini
// The application's profile sections ("PROFILES" with "Flip", the record-delay flag and the profile
// list) are keys of their own below the application key, as the registry keeps them.
// The file holds one section "[Values]"; a DWORD value is written `name=dword:00000409`, a string
// value `name="text"` (the quotes keep surrounding blanks and keep a text from reading as a DWORD).
// Value names match without regard to case. Reading a value as the other type gives nothing.
//
// Opening is open-or-create: the file (and its folders) are created when missing. When that fails,
// or the key path is not one of HKEY_CURRENT_USER, the store holds no key: every read gives nothing
// and every write does nothing and returns false. Nothing is reported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle {

// The per-user settings key holding "dwLanguageId".
inline constexpr std::string_view kSettingsKeyPath = "HKEY_CURRENT_USER\\Software\\QX5570";
// The application's profile section: "Flip", the record-delay flag and the profile list.
inline constexpr std::string_view kProfilesKeyPath =
    "HKEY_CURRENT_USER\\Software\\Keyweave_Orvane\\Brindle\\PROFILES";

class KeyStore {
public:
    // The key under ConfigHome().
    explicit KeyStore(std::string_view keyPath);
    // The key under `configHome` instead (tests, or a program with its own folder).
    KeyStore(std::string_view keyPath, const std::string& configHome);

    bool HoldsKey() const { return !filePath_.empty(); }
    // The INI file that holds the key; empty when the store holds no key.
    const std::string& FilePath() const { return filePath_; }

    std::optional<uint32_t> ReadDword(std::u16string_view name) const;
    bool WriteDword(std::u16string_view name, uint32_t value);
    std::optional<std::u16string> ReadString(std::u16string_view name) const;
    // False when the text holds a line break, which the file cannot keep.
    bool WriteString(std::u16string_view name, std::u16string_view value);

    // The file a key path maps to under `configHome`; empty for a path that is not below
    // HKEY_CURRENT_USER or has an empty, "." or ".." part.
    static std::string FileForKeyPath(std::string_view keyPath, const std::string& configHome);

private:
    std::string filePath_;
};

} // namespace brindle
