// Macro areas as a keyboard might return them: any bytes, any macro capacity. Decoding must stay
// inside the bytes, and whatever decodes must pack again and decode to the same macros.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/keys/MacroBlock.h"

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckSame(const brindle::MacroList& a, const brindle::MacroList& b) {
    Check(a.size() == b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        Check(brindle::MacroName(a[i]) == brindle::MacroName(b[i]));
        Check(a[i].playCount == b[i].playCount);
        Check(a[i].id == b[i].id);
        Check(a[i].actionCount == b[i].actionCount);
        for (std::size_t k = 0; k < a[i].actionCount; ++k) {
            Check(a[i].actions[k].delayMs == b[i].actions[k].delayMs);
            Check(a[i].actions[k].keyCode == b[i].actions[k].keyCode);
            Check(a[i].actions[k].released == b[i].actions[k].released);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes are the keyboard's macro capacity, the rest is what was read.
    const std::size_t capacity = data[0] | (data[1] << 8);
    const std::span<const std::uint8_t> area(data + 2, size - 2);

    const brindle::MacroList macros = brindle::DecodeMacroBlock(area, capacity, u"Macro");
    Check(macros.size() <= brindle::kMaxMacros);
    for (const brindle::MacroRecord& m : macros) {
        Check(m.actionCount <= brindle::kMaxMacroActions);
        Check(m.name[brindle::kMaxMacroNameLength] == u'\0');
    }

    const brindle::MacroBlockSize sizes = brindle::MacroBlockSizes(macros);
    for (bool names : {false, true}) {
        const std::vector<std::uint8_t> packed = brindle::EncodeMacroBlock(macros, names);
        const std::size_t expected = names ? sizes.withNames : sizes.withoutNames;
        if (expected > brindle::kMaxMacroBlockSize) {
            Check(packed.empty());
            continue;
        }
        Check(packed.size() == expected);
        const brindle::MacroList again = brindle::DecodeMacroBlock(packed, packed.size(), u"Macro");
        if (names)
            CheckSame(again, macros);
        else
            Check(again.size() == macros.size());
    }
    return 0;
}
