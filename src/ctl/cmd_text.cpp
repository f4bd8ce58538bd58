// brindlectl text KEY [--lang INDEX]: one looked-up text, as the windows would show it.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "core/platform/Utf.h"
#include "ctl/CtlCommand.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

std::optional<int> ParseIndex(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0)
        return std::nullopt;
    return value;
}

int RunText(CtlContext& context, const CtlArgs& args) {
    std::optional<std::string> key;
    std::optional<int> index;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> indexText;
        if (arg == "--lang") {
            if (i + 1 >= args.size())
                return UsageError(context, "--lang needs a language index");
            indexText = args[++i];
        } else if (arg.rfind("--lang=", 0) == 0) {
            indexText = arg.substr(7);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(context, "unknown option '" + arg + "'");
        } else if (!key) {
            key = arg;
            continue;
        } else {
            return UsageError(context, "unexpected argument '" + arg + "'");
        }
        index = ParseIndex(*indexText);
        if (!index)
            return UsageError(context, "bad language index '" + *indexText + "'");
    }
    if (!key)
        return UsageError(context, "no string key given");

    CtlLanguage language;
    const int lookupIndex = index ? *index : language.Lang().GetLanguageIndex();
    const std::string text =
        Utf16ToUtf8(language.Lang().LookUpText(Utf8ToUtf16(*key), lookupIndex));
    std::printf("%s\n", text.c_str());
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("text", "KEY [--lang INDEX]",
                   "the text of a string key in the current language or language INDEX", &RunText);

} // namespace brindle::ctl
