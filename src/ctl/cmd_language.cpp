// brindlectl language: the user's language identifier, its index and its language file. On the
// first run this chooses the language from the locale and stores it, as the program does.
#include <cstdio>

#include "ctl/CtlCommand.h"
#include "ctl/CtlLanguage.h"

namespace brindle::ctl {

namespace {

int RunLanguage(CtlContext& context, const CtlArgs& args) {
    if (!args.empty())
        return UsageError(context, "unexpected argument '" + args[0] + "'");
    CtlLanguage language;
    const uint32_t id = language.Lang().GetLanguageId();
    const int index = language.Lang().GetLanguageIndex();
    std::printf("identifier 0x%04X\n", static_cast<unsigned>(id));
    std::printf("index      %d\n", index);
    std::printf("file       %s\n", language.Lang().LanguageFileName(index).c_str());
    return kExitOk;
}

} // namespace

BRINDLECTL_COMMAND("language", "", "the language identifier, its index and its language file",
                   &RunLanguage);

} // namespace brindle::ctl
