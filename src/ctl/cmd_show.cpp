// brindlectl show FILE: a profile file in words: its header, every key that does something other
// than its default in profiles 0-2, the texts of launch-program and text-block keys, and every
// macro with its actions.
#include <cstdio>
#include <string>

#include "core/config/ProfileFile.h"
#include "core/keys/KeyTables.h"
#include "core/platform/Utf.h"
#include "ctl/CtlCommand.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

// The key functions the keyboard carries out (entry type 8), by function number.
constexpr const char16_t* kFunctionTextKeys[] = {
    u"IDS_COMPOSITE_FUNC_KEY_OPEN",       u"IDS_COMPOSITE_FUNC_KEY_NEW",
    u"IDS_COMPOSITE_FUNC_KEY_UNDO",       u"IDS_COMPOSITE_FUNC_KEY_SAVE",
    u"IDS_COMPOSITE_FUNC_KEY_COPY",       u"IDS_COMPOSITE_FUNC_KEY_CUT",
    u"IDS_COMPOSITE_FUNC_KEY_PASTE",      u"IDS_COMPOSITE_FUNC_KEY_FIND",
    u"IDS_COMPOSITE_FUNC_KEY_SELECT_ALL", u"IDS_COMPOSITE_FUNC_KEY_ZOOMOUT",
    u"IDS_COMPOSITE_FUNC_KEY_ZOOMIN",
};

std::string Quoted(const std::u16string& text) {
    std::string out = "\"";
    for (const char c : Utf16ToUtf8(text)) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string EntryName(std::size_t entry, const TextLookup& lookUp) {
    if (entry < 256)
        return Utf16ToUtf8(KeyNameByCode(KeyIndexToCode(static_cast<KeyIndex>(entry)), lookUp));
    if (entry < 265)
        return "G" + std::to_string(entry - 256 + 1) + " (bank A)";
    if (entry < 274)
        return "G" + std::to_string(entry - 265 + 1) + " (bank B)";
    return "entry " + std::to_string(entry);
}

std::string Assignment(const ConfigContext& c, std::size_t page, std::size_t entry,
                       const TextLookup& lookUp) {
    const KeyEntry& e = c.image->pages[page].entries[entry];
    const std::u16string& text = c.texts.Text(KeyStringTable::SlotOf(page, entry));
    switch (e.type) {
    case kKeyDisabled:
        return "disabled";
    case kKeySingleKey:
        return "key " + Utf16ToUtf8(KeyNameByCode(static_cast<KeyCode>(e.payload), lookUp));
    case kKeyLaunchProgram:
        return "launch program " + Quoted(text);
    case kKeyPlayMacro:
        for (const MacroRecord& m : c.macros)
            if (m.id == static_cast<std::uint16_t>(e.payload))
                return "macro " + Quoted(MacroName(m));
        return "macro id " + std::to_string(e.payload & 0xFFFF) + " (not in the file)";
    case kKeyStopMacro:
        return "stop macro";
    case kKeyTextBlock:
        return "text block " + Quoted(text);
    case kKeyMediaKey:
        if (e.payload < kMediaKeyCodes.size())
            return "media " + Utf16ToUtf8(KeyNameByCode(kMediaKeyCodes[e.payload], lookUp));
        return "media " + std::to_string(e.payload) + " (unknown)";
    case kKeyFunction: {
        const std::uint32_t n = e.payload & 0xFF;
        if (n < std::size(kFunctionTextKeys))
            return "function " + std::to_string(n) + " " + Quoted(lookUp(kFunctionTextKeys[n]));
        return "function " + std::to_string(n);
    }
    default:
        return "type " + std::to_string(e.type) + " payload " + std::to_string(e.payload);
    }
}

int RunShow(CtlContext& context, const CtlArgs& args) {
    if (args.size() != 1)
        return UsageError(context, args.empty() ? "no file given" : "too many arguments");
    const ProfileCheck check = CheckProfileFile(args[0]);
    if (check.result != kProfileValid) {
        std::fprintf(stderr, "brindlectl: %s: %s\n", args[0].c_str(), check.reason.c_str());
        return kExitFailed;
    }
    ConfigContext c;
    if (LoadProfileFile(args[0], c) != 1) {
        std::fprintf(stderr, "brindlectl: %s cannot be read\n", args[0].c_str());
        return kExitFailed;
    }
    CtlLanguage language;
    const TextLookup lookUp = language.CurrentLookup();
    const ProfileFileHeader& h = c.image->header;
    std::printf("magic 0x%04X, header size %u, profiles %u, version %u, total size %u, "
                "string slots %u, macros %u, pool size %u, flag %u, checksum 0x%02X\n",
                h.magic, h.headerSize, h.profileCount, h.version, h.totalSize, h.slotCount,
                h.macroCount, h.poolSize, h.flag, h.checksum);
    for (std::size_t page = 0; page < 3; ++page) {
        std::printf("profile %zu:\n", page);
        for (std::size_t entry = 0; entry < kKeyPageEntries; ++entry) {
            if (c.image->pages[page].entries[entry].type == kKeyDefault)
                continue;
            std::printf("  %s: %s\n", EntryName(entry, lookUp).c_str(),
                        Assignment(c, page, entry, lookUp).c_str());
        }
    }
    for (std::size_t i = 0; i < c.macros.size(); ++i) {
        const MacroRecord& m = c.macros[i];
        const std::size_t count = MacroActionCount(m);
        std::printf("macro %u %s: play count %u, %zu actions\n", m.id, Quoted(MacroName(m)).c_str(),
                    m.playCount, count);
        for (std::size_t a = 0; a < count; ++a)
            std::printf("  %s %s %u ms\n",
                        Utf16ToUtf8(KeyNameByCode(m.actions[a].keyCode, lookUp)).c_str(),
                        m.actions[a].released ? "up" : "down", m.actions[a].delayMs);
    }
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("show", "FILE", "print a profile file's header, key assignments and macros",
                   &RunShow);

} // namespace brindle::ctl
