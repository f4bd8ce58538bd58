// brindlectl validate FILE: checks a profile file's header rules, as an import does.
#include <cstdio>

#include "core/config/ProfileFile.h"
#include "ctl/CtlCommand.h"

namespace brindle::ctl {

namespace {

int RunValidate(CtlContext& context, const CtlArgs& args) {
    if (args.size() != 1)
        return UsageError(context, args.empty() ? "no file given" : "too many arguments");
    const ProfileCheck check = CheckProfileFile(args[0]);
    if (check.result == kProfileValid) {
        std::printf("valid\n");
        return kExitOk;
    }
    if (!check.failedRule.empty())
        std::printf("invalid: header rule broken: %s\n", check.failedRule.c_str());
    else
        std::printf("invalid: %s\n", check.reason.c_str());
    return kExitFailed;
}

} // namespace

BRINDLECTL_COMMAND("validate", "FILE", "check a profile file; exit 1 with the rule it breaks",
                   &RunValidate);

} // namespace brindle::ctl
