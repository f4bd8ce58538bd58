// A looked-up text by string key, in the user's language. Code that names things on screen takes
// one of these instead of a whole language object, so it is tested with a small table.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace brindle {

using TextLookup = std::function<std::u16string(std::u16string_view key)>;

} // namespace brindle
