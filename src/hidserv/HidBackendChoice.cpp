#include "hidserv/HidBackendChoice.h"

#include <cstring>

#include "hidserv/HidrawBackend.h"
#include "hidserv/SimBackend.h"
#include "kbdsim/SimSocketPath.h"

namespace brindle {

std::unique_ptr<HidBackend> MakeBackend(const char* choice, std::string* problem) {
    const std::string value = choice != nullptr ? choice : "";
    if (value == "sim")
        return std::make_unique<SimBackend>(DefaultSimSocketPath());
    if (value.rfind("sim:", 0) == 0 && value.size() > 4)
        return std::make_unique<SimBackend>(value.substr(4));
    if (value.empty() || value == "hidraw")
        return std::make_unique<HidrawBackend>();
    if (problem != nullptr)
        *problem = "BRINDLE_DEVICE names no backend: " + value + " (hidraw, sim or sim:PATH)";
    return nullptr;
}

} // namespace brindle
