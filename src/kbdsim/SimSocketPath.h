// Where the virtual keyboard listens unless told otherwise: $XDG_RUNTIME_DIR/brindle-kbdsim.sock,
// or /tmp/brindle-kbdsim-<uid>.sock when no runtime folder is set.
#pragma once

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace brindle {

inline std::string DefaultSimSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0')
        return std::string(runtime) + "/brindle-kbdsim.sock";
    return "/tmp/brindle-kbdsim-" + std::to_string(static_cast<unsigned long>(getuid())) + ".sock";
}

} // namespace brindle
