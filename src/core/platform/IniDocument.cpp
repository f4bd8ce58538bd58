#include "core/platform/IniDocument.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/Utf.h"

namespace brindle {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string Fold(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        c = FoldIniCase(c);
    return out;
}

std::u16string KeyIndex(size_t sectionLine, std::u16string_view foldedKey) {
    std::u16string index = Utf8ToUtf16(std::to_string(sectionLine));
    index.push_back(u'\0');
    index.append(foldedKey);
    return index;
}

std::u16string StripQuotes(std::u16string_view value) {
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        value = value.substr(1, value.size() - 2);
    return std::u16string(value);
}

// Cuts to at most `units` UTF-16 units without leaving half a surrogate pair.
std::u16string CutTo(std::u16string_view text, size_t units) {
    if (text.size() <= units)
        return std::u16string(text);
    if (units > 0 && text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF)
        --units;
    return std::u16string(text.substr(0, units));
}

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

} // namespace

IniDocument::Line IniDocument::MakeLine(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    return line;
}

char16_t FoldIniCase(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    if (c < 0xC0)
        return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    // Latin Extended-A pairs capitals and small letters as even/odd or odd/even neighbours.
    if ((c >= 0x100 && c <= 0x137 && c % 2 == 0) || (c >= 0x14A && c <= 0x177 && c % 2 == 0) ||
        (c >= 0x139 && c <= 0x148 && c % 2 == 1) || (c >= 0x179 && c <= 0x17E && c % 2 == 1))
        return static_cast<char16_t>(c + 1);
    if (c >= 0xFF21 && c <= 0xFF3A) // fullwidth Latin capitals
        return static_cast<char16_t>(c + 0x20);
    return c;
}

int IniTextToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || text[i] == u'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - u'0');
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

IniDocument IniDocument::FromBytes(std::span<const uint8_t> bytes) {
    return FromBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

IniDocument IniDocument::FromBytes(std::string_view bytes) {
    IniDocument doc;
    doc.Parse(bytes);
    return doc;
}

std::optional<IniDocument> IniDocument::LoadFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return std::nullopt;
    return FromBytes(std::string_view(bytes));
}

void IniDocument::Parse(std::string_view bytes) {
    lines_.clear();
    encoding_ = IniEncoding::Utf8;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        encoding_ = IniEncoding::Utf8Bom;
        bytes.remove_prefix(3);
    } else if (bytes.substr(0, 2) == "\xFF\xFE") {
        encoding_ = IniEncoding::Utf16Le;
        bytes.remove_prefix(2);
    } else if (bytes.substr(0, 2) == "\xFE\xFF") {
        encoding_ = IniEncoding::Utf16Be;
        bytes.remove_prefix(2);
    }
    const bool wide = encoding_ == IniEncoding::Utf16Le || encoding_ == IniEncoding::Utf16Be;
    const size_t unit = wide ? 2 : 1;
    // A last odd byte of a UTF-16 file is half a character: it is dropped, or a line added after
    // it would be read shifted by one byte.
    if (wide && bytes.size() % 2 != 0)
        bytes.remove_suffix(1);
    size_t start = 0;
    size_t i = 0;
    while (i + unit <= bytes.size()) {
        bool newline;
        if (!wide)
            newline = bytes[i] == '\n';
        else if (encoding_ == IniEncoding::Utf16Le)
            newline = bytes[i] == '\n' && bytes[i + 1] == '\0';
        else
            newline = bytes[i] == '\0' && bytes[i + 1] == '\n';
        i += unit;
        if (newline) {
            lines_.push_back(MakeLine(std::string(bytes.substr(start, i - start))));
            start = i;
        }
    }
    if (start < bytes.size())
        lines_.push_back(MakeLine(std::string(bytes.substr(start))));
    Reindex();
}

std::u16string IniDocument::Decode(std::string_view raw) const {
    if (encoding_ == IniEncoding::Utf8 || encoding_ == IniEncoding::Utf8Bom)
        return Utf8ToUtf16(raw);
    std::u16string out;
    out.reserve(raw.size() / 2);
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto lo = static_cast<uint8_t>(raw[i]);
        const auto hi = static_cast<uint8_t>(raw[i + 1]);
        out.push_back(encoding_ == IniEncoding::Utf16Le ? static_cast<char16_t>(lo | (hi << 8))
                                                        : static_cast<char16_t>(hi | (lo << 8)));
    }
    return out;
}

std::string IniDocument::Encode(std::u16string_view text) const {
    if (encoding_ == IniEncoding::Utf8 || encoding_ == IniEncoding::Utf8Bom)
        return Utf16ToUtf8(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        if (encoding_ == IniEncoding::Utf16Le) {
            out.push_back(lo);
            out.push_back(hi);
        } else {
            out.push_back(hi);
            out.push_back(lo);
        }
    }
    return out;
}

void IniDocument::Reindex() {
    sections_.clear();
    keys_.clear();
    std::optional<size_t> section;
    for (size_t n = 0; n < lines_.size(); ++n) {
        Line& line = lines_[n];
        line.kind = LineKind::Other;
        line.name.clear();
        line.value.clear();
        std::u16string text = Decode(line.raw);
        while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
            text.pop_back();
        const std::u16string_view body = Trim(text);
        line.blank = body.empty();
        if (body.empty() || body.front() == u';')
            continue;
        if (body.front() == u'[') {
            const size_t close = body.find(u']');
            if (close == std::u16string_view::npos)
                continue;
            line.kind = LineKind::Section;
            line.name = Trim(body.substr(1, close - 1));
            section = n;
            sections_.emplace(Fold(line.name), n);
            continue;
        }
        const size_t eq = body.find(u'=');
        if (eq == std::u16string_view::npos)
            continue;
        line.kind = LineKind::Key;
        line.name = Trim(body.substr(0, eq));
        line.value = Trim(body.substr(eq + 1));
        if (section)
            keys_.emplace(KeyIndex(*section, Fold(line.name)), n);
    }
}

std::optional<size_t> IniDocument::FindSectionLine(std::u16string_view section) const {
    const auto it = sections_.find(Fold(Trim(section)));
    if (it == sections_.end())
        return std::nullopt;
    return it->second;
}

std::optional<size_t> IniDocument::FindKeyLine(size_t sectionLine, std::u16string_view key) const {
    const auto it = keys_.find(KeyIndex(sectionLine, Fold(Trim(key))));
    if (it == keys_.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::u16string> IniDocument::FindRaw(std::u16string_view section,
                                                   std::u16string_view key) const {
    const auto sectionLine = FindSectionLine(section);
    if (!sectionLine)
        return std::nullopt;
    const auto keyLine = FindKeyLine(*sectionLine, key);
    if (!keyLine)
        return std::nullopt;
    return lines_[*keyLine].value;
}

std::optional<std::u16string> IniDocument::Find(std::u16string_view section,
                                                std::u16string_view key) const {
    std::optional<std::u16string> raw = FindRaw(section, key);
    if (!raw)
        return std::nullopt;
    return StripQuotes(*raw);
}

bool IniDocument::HasSection(std::u16string_view section) const {
    return FindSectionLine(section).has_value();
}

std::u16string IniDocument::ReadString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, size_t bufferSize) const {
    if (bufferSize == 0)
        return {};
    const auto value = Find(section, key);
    return CutTo(value ? std::u16string_view(*value) : defaultValue, bufferSize - 1);
}

int IniDocument::ReadInt(std::u16string_view section, std::u16string_view key,
                         int defaultValue) const {
    const auto value = Find(section, key);
    if (!value || value->empty())
        return defaultValue;
    return IniTextToInt(*value);
}

std::string IniDocument::NewLine() const {
    // Follow the file's own line ends; new files get '\n'.
    for (const Line& line : lines_) {
        const std::u16string text = Decode(line.raw);
        if (text.size() >= 2 && text[text.size() - 1] == u'\n' && text[text.size() - 2] == u'\r')
            return Encode(u"\r\n");
        if (!text.empty() && text.back() == u'\n')
            return Encode(u"\n");
    }
    return Encode(u"\n");
}

bool IniDocument::EndsWithLineBreak(const std::string& raw) const {
    const std::u16string text = Decode(raw);
    return !text.empty() && text.back() == u'\n';
}

bool IniDocument::SetValue(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) {
    section = Trim(section);
    key = Trim(key);
    value = Trim(value);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || section.find(u']') != std::u16string_view::npos ||
        key.find(u'=') != std::u16string_view::npos || key.front() == u'[' || key.front() == u';')
        return false;

    const std::string nl = NewLine();
    std::u16string text(key);
    text.push_back(u'=');
    text.append(value);
    const std::string keyLine = Encode(text);

    const auto sectionLine = FindSectionLine(section);
    if (sectionLine) {
        if (const auto existing = FindKeyLine(*sectionLine, key)) {
            Line& line = lines_[*existing];
            // Keep the line's own ending (none on a last line without one).
            std::string ending;
            const std::u16string old = Decode(line.raw);
            if (old.size() >= 2 && old.substr(old.size() - 2) == u"\r\n")
                ending = Encode(u"\r\n");
            else if (!old.empty() && old.back() == u'\n')
                ending = Encode(u"\n");
            line.raw = keyLine + ending;
            Reindex();
            return true;
        }
        // After the last non-blank line of the section, before blank lines that separate it
        // from the next one.
        size_t last = *sectionLine;
        for (size_t n = *sectionLine + 1; n < lines_.size(); ++n) {
            if (lines_[n].kind == LineKind::Section)
                break;
            if (!lines_[n].blank)
                last = n;
        }
        if (!EndsWithLineBreak(lines_[last].raw))
            lines_[last].raw += nl;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1),
                      MakeLine(keyLine + nl));
        Reindex();
        return true;
    }

    if (!lines_.empty() && !EndsWithLineBreak(lines_.back().raw))
        lines_.back().raw += nl;
    std::u16string header = u"[";
    header.append(section);
    header.push_back(u']');
    lines_.push_back(MakeLine(Encode(header) + nl));
    lines_.push_back(MakeLine(keyLine + nl));
    Reindex();
    return true;
}

std::vector<uint8_t> IniDocument::ToBytes() const {
    std::string out;
    switch (encoding_) {
    case IniEncoding::Utf8Bom:
        out = "\xEF\xBB\xBF";
        break;
    case IniEncoding::Utf16Le:
        out = "\xFF\xFE";
        break;
    case IniEncoding::Utf16Be:
        out = "\xFE\xFF";
        break;
    case IniEncoding::Utf8:
        break;
    }
    for (const Line& line : lines_)
        out += line.raw;
    return std::vector<uint8_t>(out.begin(), out.end());
}

} // namespace brindle
