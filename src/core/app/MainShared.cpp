#include "core/app/MainShared.h"

namespace brindle {

MainShared& ProcessMainShared() {
    static MainShared shared;
    return shared;
}

} // namespace brindle
