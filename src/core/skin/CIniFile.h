// The layout file of one skinned window: a path and value reads of at most 2047 characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brindle {

class CIniFile {
public:
    static constexpr size_t kValueBuffer = 2048; // a value read holds at most 2047 characters

    CIniFile() = default;
    // The whole path is kept, however long: a shortened path would name another file.
    explicit CIniFile(std::string path) : path_(std::move(path)) {}

    void SetPath(std::string path) { path_ = std::move(path); }
    const std::string& Path() const { return path_; }

    // The value, cut to 2047 characters; nothing when the file, section or key is missing or the
    // value is empty.
    std::optional<std::u16string> ReadValue(std::u16string_view section,
                                            std::u16string_view key) const;
    // Writes one value (see WriteIniString).
    bool WriteValue(std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) const;

private:
    std::string path_;
};

} // namespace brindle
