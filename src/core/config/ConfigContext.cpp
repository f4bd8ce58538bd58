#include "core/config/ConfigContext.h"

namespace brindle {

void ReleaseContents(ConfigContext& context) {
    context.texts.Clear();
    MacroList().swap(context.macros);
    context.image.reset();
}

void InstallDefaultImage(ConfigContext& context, std::uint8_t flag) {
    ReleaseContents(context);
    context.image = CreateDefaultImage(flag);
}

} // namespace brindle
