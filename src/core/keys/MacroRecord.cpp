#include "core/keys/MacroRecord.h"

#include <algorithm>

namespace brindle {

std::u16string MacroName(const MacroRecord& record) {
    const char16_t* begin = record.name;
    const char16_t* end = std::find(begin, begin + kMaxMacroNameLength, u'\0');
    return std::u16string(begin, end);
}

void SetMacroName(MacroRecord& record, std::u16string_view name) {
    const std::size_t n = std::min(name.size(), kMaxMacroNameLength);
    std::fill(std::begin(record.name), std::end(record.name), u'\0');
    std::copy_n(name.data(), n, record.name);
}

std::size_t MacroActionCount(const MacroRecord& record) {
    return std::min<std::size_t>(record.actionCount, kMaxMacroActions);
}

} // namespace brindle
