// One INI file held in memory, read and edited the way the Windows private-profile functions
// read and edit it:
// - section and key names match without regard to case; the first matching section wins, and
//   within it the first matching key (keys of a later section with the same name are not seen);
// - white space around names and values is trimmed, and one pair of double quotes around a
//   value is removed;
// - a line whose first non-blank character is ';' is a comment; a line without '=' is no key;
//   lines before the first section belong to no section;
// - the file may be UTF-8 (with or without BOM) or UTF-16 with BOM; an edit keeps the file's
//   encoding and line endings and every other line byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace brindle {

enum class IniEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

class IniDocument {
public:
    // An empty document; saved, it becomes a UTF-8 file without BOM.
    IniDocument() = default;
    static IniDocument FromBytes(std::span<const uint8_t> bytes);
    static IniDocument FromBytes(std::string_view bytes);
    // Nothing when the file is missing or cannot be read.
    static std::optional<IniDocument> LoadFile(const std::string& path);

    // The value of `key` in the first section named `section`: trimmed, one pair of surrounding
    // double quotes removed. Nothing when the section or key is missing; empty when the key has
    // an empty value.
    std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;
    // The same, with the quotes left in place.
    std::optional<std::u16string> FindRaw(std::u16string_view section,
                                          std::u16string_view key) const;
    bool HasSection(std::u16string_view section) const;

    // GetPrivateProfileString: the value, or `defaultValue` when there is none, cut so that it
    // fits a buffer of `bufferSize` characters including the end, i.e. at most bufferSize - 1
    // characters (a surrogate pair is never split). A buffer size of 0 gives the empty text.
    std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue, size_t bufferSize) const;
    // GetPrivateProfileInt: the value's leading decimal number with an optional sign (0 when it
    // has no digits), or `defaultValue` when the key is missing or its value empty.
    int ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;

    // WritePrivateProfileString: replaces the line of the key in place, or adds the key after
    // the last line of its section, or adds the section at the end. False, and nothing changes,
    // when the names or the value cannot be stored on one line (line breaks, an empty or
    // bracketed section name, an empty key, '=' in a key, a key that would read as a section or
    // a comment).
    bool SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    // The file's bytes: the BOM, if any, then every line.
    std::vector<uint8_t> ToBytes() const;
    IniEncoding Encoding() const { return encoding_; }

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        std::string raw; // the line's bytes in the file's encoding, line end included
        LineKind kind = LineKind::Other;
        bool blank = true;
        std::u16string name;  // section or key name, trimmed, as written
        std::u16string value; // trimmed value, quotes kept
    };

    static Line MakeLine(std::string raw);
    void Parse(std::string_view bytes);
    void Reindex();
    std::u16string Decode(std::string_view raw) const;
    std::string Encode(std::u16string_view text) const;
    std::optional<size_t> FindSectionLine(std::u16string_view section) const;
    std::optional<size_t> FindKeyLine(size_t sectionLine, std::u16string_view key) const;
    std::string NewLine() const;
    bool EndsWithLineBreak(const std::string& raw) const;

    IniEncoding encoding_ = IniEncoding::Utf8;
    std::vector<Line> lines_;
    // Folded section name -> line of its first header; (header line, folded key) -> first line.
    std::unordered_map<std::u16string, size_t> sections_;
    std::unordered_map<std::u16string, size_t> keys_;
};

// Windows' case-insensitive name comparison for the scripts section and key names use.
char16_t FoldIniCase(char16_t c);

// The leading decimal number of a text the way _wtoi and GetPrivateProfileInt read it: blanks
// skipped, an optional sign, then digits; 0 when there are none. Overflow wraps modulo 2^32.
int IniTextToInt(std::u16string_view text);

} // namespace brindle
