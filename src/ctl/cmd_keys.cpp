// brindlectl keys: the key table, one line per key in index order, with the names of the current
// language.
#include <cstdio>
#include <string>

#include "core/keys/KeyTables.h"
#include "core/platform/Utf.h"
#include "ctl/CtlCommand.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// "7:04", "C:0B6", "1:81"; "-" when the key sends nothing.
std::string UsageText(HidUsage usage) {
    if (usage.page == 0)
        return "-";
    return Hex(usage.page, 1) + ":" + Hex(usage.usage, usage.page == kUsagePageConsumer ? 3 : 2);
}

// "41"; "67/24" on the numeric pad (Num Lock on / off); "-" when the key has none.
std::string VirtualKeyText(const KeyInfo& info) {
    if (info.virtualKey == kNoVirtualKey)
        return "-";
    std::string text = Hex(info.virtualKey, 2);
    if (info.alternateVirtualKey != info.virtualKey)
        text += "/" + Hex(info.alternateVirtualKey, 2);
    return text;
}

int RunKeys(CtlContext& context, const CtlArgs& args) {
    if (!args.empty())
        return UsageError(context, "unexpected argument '" + args[0] + "'");

    CtlLanguage language;
    const TextLookup lookup = language.CurrentLookup();

    std::printf("%-5s%-6s%-7s%-7s%-7s%s\n", "code", "index", "number", "usage", "vk", "name");
    for (std::size_t i = 0; i < kKeyIndexCount; ++i) {
        const KeyInfo& info = kKeyInfoTable[i];
        if (info.keyNumber == kNoKeyNumber)
            continue;
        const KeyCode code = KeyIndexToCode(static_cast<KeyIndex>(i));
        const std::string name = Utf16ToUtf8(KeyNameByCode(code, lookup));
        std::printf("%-5s%-6s%-7s%-7s%-7s%s\n", Hex(code, 3).c_str(), Hex(i, 2).c_str(),
                    Hex(info.keyNumber, 4).c_str(), UsageText(KeyCodeToUsage(code)).c_str(),
                    VirtualKeyText(info).c_str(), name.c_str());
    }
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("keys", "", "list the key table with the names of the current language",
                   &RunKeys);

} // namespace brindle::ctl
