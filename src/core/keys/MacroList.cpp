#include "core/keys/MacroList.h"

#include <algorithm>
#include <array>

#include "core/keys/MacroBlock.h"

namespace brindle {
namespace {

// Simple case folding for the scripts language files use for macro names: Latin-1, Greek and
// Cyrillic capitals map to their small letters.
char16_t FoldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) ||
        (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) || (c >= 0x0410 && c <= 0x042F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x0400 && c <= 0x040F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldCase(text[i]) != FoldCase(prefix[i]))
            return false;
    }
    return true;
}

std::u16string WithNumber(std::u16string_view text, long long number) {
    std::u16string out(text);
    for (char c : std::to_string(number))
        out.push_back(static_cast<char16_t>(c));
    return out;
}

std::u16string FormatLimit(const TextLookup& lookup, std::u16string_view key, long long limit) {
    std::u16string text = lookup ? lookup(key) : std::u16string();
    const std::size_t at = text.find(u"%d");
    std::u16string number = WithNumber(u"", limit);
    if (at == std::u16string::npos)
        return text;
    return text.replace(at, 2, number);
}

} // namespace

std::u16string NewMacroName(std::span<const std::u16string> existingNames,
                            std::u16string_view prefix, int& counter) {
    if (existingNames.empty())
        counter = 0;
    // Each existing name blocks only the candidates it begins with, so this ends.
    for (;;) {
        ++counter;
        std::u16string candidate = WithNumber(prefix, counter);
        const bool taken = std::any_of(
            existingNames.begin(), existingNames.end(),
            [&](const std::u16string& name) { return StartsWithFolded(name, candidate); });
        if (!taken)
            return candidate;
    }
}

std::u16string NewMacroName(std::span<const MacroRecord> list, const TextLookup& lookup,
                            int& counter) {
    std::vector<std::u16string> names;
    names.reserve(list.size());
    for (const MacroRecord& macro : list)
        names.push_back(MacroName(macro));
    return NewMacroName(names, NewMacroPrefix(lookup), counter);
}

std::optional<MacroRecord> NewMacroRecord(std::u16string_view name,
                                          std::span<const MacroRecord> list) {
    if (!CanAddMacro(list))
        return std::nullopt;
    std::array<bool, kMaxMacroId + 1> used{};
    for (const MacroRecord& macro : list) {
        if (macro.id <= kMaxMacroId)
            used[macro.id] = true;
    }
    std::uint16_t id = kMinMacroId;
    while (id <= kMaxMacroId && used[id])
        ++id;
    if (id > kMaxMacroId)
        return std::nullopt;

    std::optional<MacroRecord> record(std::in_place);
    SetMacroName(*record, name);
    record->playCount = 1;
    record->newFlag = 1;
    record->repeatMode = kRepeatOnce;
    record->id = id;
    record->actionCount = 0;
    return record;
}

bool CanAddMacro(std::span<const MacroRecord> list) {
    return list.size() < kMaxMacros;
}

std::size_t MacroPositionOfId(std::span<const MacroRecord> list, std::uint16_t id) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].id == id)
            return i;
    }
    return 0;
}

MacroCommitResult CommitMacroList(MacroList edited, std::span<KeyEntry> entries, MacroList& live) {
    MacroCommitResult result;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        KeyEntry& entry = entries[i];
        if (entry.type != kKeyPlayMacro)
            continue;
        const std::uint16_t id = static_cast<std::uint16_t>(entry.payload & 0xFFFF);
        if (id != 0) {
            const auto macro = std::find_if(edited.begin(), edited.end(),
                                            [id](const MacroRecord& m) { return m.id == id; });
            if (macro == edited.end() || macro->newFlag == 1) {
                entry.type = kKeyDefault;
                result.resetEntries.push_back(i);
                result.keysChanged = true;
            }
        } else if (!edited.empty()) {
            // The upper half of a macro payload is the dialog's play count; keep it.
            entry.payload = (entry.payload & 0xFFFF0000u) | edited.front().id;
            result.keysChanged = true;
        }
    }
    for (MacroRecord& macro : edited)
        macro.newFlag = 0;
    live = std::move(edited);
    return result;
}

TypedDelay NormalizeTypedDelay(long long typedMs) {
    TypedDelay delay;
    if (typedMs < 0)
        typedMs = 0;
    if (typedMs > kMaxTypedDelayMs) {
        typedMs = kMaxTypedDelayMs;
        delay.overLimit = true;
    }
    delay.delayMs = static_cast<std::uint32_t>(typedMs) / kMacroDelayUnitMs * kMacroDelayUnitMs;
    return delay;
}

std::uint8_t ClampPlayCount(long long typed) {
    return static_cast<std::uint8_t>(std::clamp<long long>(typed, kMinPlayCount, kMaxPlayCount));
}

std::u16string MacroLimitText(const TextLookup& lookup) {
    return FormatLimit(lookup, kMacroLimitTextKey, static_cast<long long>(kMaxMacros));
}

std::u16string DelayLimitText(const TextLookup& lookup) {
    return FormatLimit(lookup, kDelayLimitTextKey, kMaxTypedDelayMs);
}

} // namespace brindle
