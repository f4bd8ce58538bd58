// Picks the backend named by BRINDLE_DEVICE: unset, empty or "hidraw" is the real keyboard,
// "sim" the virtual keyboard at its default socket, "sim:PATH" the one listening at PATH.
#pragma once

#include <memory>
#include <string>

#include "hidserv/HidBackend.h"

namespace brindle {

// Null (with a reason) for a value that names no backend.
std::unique_ptr<HidBackend> MakeBackend(const char* choice, std::string* problem);

} // namespace brindle
