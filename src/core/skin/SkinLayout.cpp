#include "core/skin/SkinLayout.h"

#include "core/platform/Utf.h"
#include "core/skin/SkinKeys.h"

namespace brindle {

namespace {

// Value buffers, in characters including the end: rectangles 260, "SCREEN" values 2048 (the
// 4096-byte buffer of the INI path holder), the link address 261.
constexpr std::size_t kRectBuffer = kSkinRectMaxChars + 1;
constexpr std::size_t kScreenMaxChars = 2047;
constexpr std::size_t kLinkMaxChars = 260;

} // namespace

SkinLayout SkinLayout::Load(const std::string& path) {
    SkinLayout layout;
    layout.path_ = path;
    layout.document_ = IniDocument::LoadFile(path);
    return layout;
}

std::string SkinLayout::Value(std::string_view section, std::string_view key,
                              std::size_t maxChars) const {
    if (!document_) {
        return {};
    }
    return Utf16ToUtf8(document_->ReadString(U16(section), U16(key), u"", maxChars + 1));
}

SkinRect SkinLayout::Rect(std::string_view key) const {
    return Rect(kButtonSection, key);
}

SkinRect SkinLayout::Rect(std::string_view section, std::string_view key) const {
    if (!document_) {
        return ParseSkinRect(kMissingSkinRect);
    }
    std::u16string value =
        document_->ReadString(U16(section), U16(key), U16(kMissingSkinRect), kRectBuffer);
    return ParseSkinRect(Utf16ToUtf8(value));
}

std::string SkinLayout::Screen(std::string_view key) const {
    return Value(kScreenSection, key, kScreenMaxChars);
}

std::string SkinLayout::MainPicture() const {
    return Screen("Main");
}

std::string SkinLayout::MaskPicture() const {
    std::string mask = Screen("Mask");
    return mask.empty() ? MainPicture() : mask;
}

std::string SkinLayout::Link(std::string_view fallback) const {
    std::string link = Value(kScreenSection, "Link", kLinkMaxChars);
    return link.empty() ? std::string(fallback) : link;
}

} // namespace brindle
