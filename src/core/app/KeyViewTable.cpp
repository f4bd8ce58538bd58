#include "core/app/KeyViewTable.h"

#include "core/keys/KeyTables.h"

namespace brindle {

static_assert(kViewKeyCount == kKeyButtonCount && kViewExtraKeyCount == kExtraKeyCount);

ViewKey KeyViewButton(std::size_t position) {
    const KeyButton& key = kKeyButtonCodes.at(position);
    return {key.controlId, key.code, KeyCodeToIndex(key.code)};
}

std::uint16_t KeyViewExtraKeyId(std::size_t extraKey) {
    return kExtraKeyControlIds.at(extraKey);
}

std::u16string KeyViewName(std::uint16_t keyCode, const TextLookup& lookup) {
    return KeyNameByCode(keyCode, lookup);
}

} // namespace brindle
