// One window's skin layout file: where each control sits and which pictures make the window.
//
// The file is read once, when the layout is loaded; lookups match sections and keys without
// regard to case. A missing file behaves like a file with every key missing, so every control
// collapses to the parked rectangle 1,1,1,1.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/platform/IniDocument.h"
#include "core/skin/SkinRect.h"

namespace brindle {

class SkinLayout {
public:
    SkinLayout() = default;

    static SkinLayout Load(const std::string& path);

    const std::string& Path() const { return path_; }
    bool FileFound() const { return document_.has_value(); }

    // "BUTTONINFO"/key, or the parked rectangle when the key is missing.
    SkinRect Rect(std::string_view key) const;
    SkinRect Rect(std::string_view section, std::string_view key) const;

    // A "SCREEN" value (at most 2047 characters); empty means missing.
    std::string Screen(std::string_view key) const;

    // The background picture's file name, relative to the skin folder; empty when missing.
    std::string MainPicture() const;
    // The shape mask's file name; the background itself when "Mask" is missing.
    std::string MaskPicture() const;
    // The main window's link address (at most 260 characters), or `fallback`.
    std::string Link(std::string_view fallback) const;

    // Any value as text, "" when missing, cut to `maxChars`.
    std::string Value(std::string_view section, std::string_view key, std::size_t maxChars) const;

private:
    std::string path_;
    std::optional<IniDocument> document_;
};

} // namespace brindle
