#include "core/config/KeyAssignment.h"

#include <charconv>

#include "core/config/ConfigImage.h"
#include "core/config/KeyEntry.h"
#include "core/keys/KeyTables.h"
#include "core/platform/Utf.h"

namespace brindle {

namespace {

// The key function texts go up to function 10 (zoom in).
constexpr int kLastKeyFunction = 10;

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

} // namespace

std::optional<std::size_t> KeyEntryByName(const std::string& name, int bank,
                                          const TextLookup& lookUp) {
    if (name.size() == 2 && (name[0] == 'G' || name[0] == 'g') && name[1] >= '1' &&
        name[1] <= '9') {
        const std::size_t first = bank ? kExtraKeyBank1Entry : kExtraKeyBank0Entry;
        return first + static_cast<std::size_t>(name[1] - '1');
    }
    const std::optional<KeyCode> code = FindKeyByName(Utf8ToUtf16(name), lookUp);
    if (!code || *code == kNoKey)
        return std::nullopt;
    return KeyCodeToIndex(*code);
}

bool KeyAssignmentTakesName(const std::string& kind) {
    return kind == "key" || kind == "macro" || kind == "media" || kind == "function";
}

std::optional<KeyAssignment> ParseKeyAssignment(const std::string& kind, const std::string& name,
                                                const MacroList* macros, const TextLookup& lookUp,
                                                std::string& problem) {
    if (kind == "disable")
        return KeyAssignment{kKeyDisabled, 0};
    if (kind == "default")
        return KeyAssignment{kKeyDefault, 0};
    if (kind == "key") {
        const std::optional<KeyCode> code = FindKeyByName(Utf8ToUtf16(name), lookUp);
        if (!code || *code == kNoKey) {
            problem = "no key named '" + name + "'";
            return std::nullopt;
        }
        return KeyAssignment{kKeySingleKey, *code};
    }
    if (kind == "media") {
        const std::optional<KeyCode> code = FindKeyByName(Utf8ToUtf16(name), lookUp);
        for (std::size_t i = 0; code && i < kMediaKeyCodes.size(); ++i)
            if (kMediaKeyCodes[i] == *code)
                return KeyAssignment{kKeyMediaKey, static_cast<std::uint32_t>(i)};
        problem = "no media key named '" + name + "'";
        return std::nullopt;
    }
    if (kind == "function") {
        int n = -1;
        const char* end = name.data() + name.size();
        const auto [ptr, ec] = std::from_chars(name.data(), end, n);
        if (name.empty() || ec != std::errc() || ptr != end || n < 0 || n > kLastKeyFunction) {
            problem = "function must be 0 to 10, not '" + name + "'";
            return std::nullopt;
        }
        return KeyAssignment{kKeyFunction, static_cast<std::uint32_t>(n)};
    }
    if (kind == "macro") {
        if (macros == nullptr)
            return KeyAssignment{kKeyPlayMacro, 0};
        const std::u16string wanted = Lower(Utf8ToUtf16(name));
        for (const MacroRecord& m : *macros)
            if (Lower(MacroName(m)) == wanted)
                return KeyAssignment{kKeyPlayMacro, m.id};
        problem = "no macro named '" + name + "'";
        return std::nullopt;
    }
    problem = "unknown target '" + kind + "'";
    return std::nullopt;
}

} // namespace brindle
