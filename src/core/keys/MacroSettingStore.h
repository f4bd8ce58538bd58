// Where the macro settings live: the application key's settings (the program stores them in its
// key store, tests in memory). Only what the record-delay setting needs.
#pragma once

#include <string>
#include <string_view>

namespace brindle {

class MacroSettingStore {
public:
    virtual ~MacroSettingStore() = default;
    // The value of `name` in `section`, or `defaultValue` when there is none.
    virtual std::u16string ReadString(std::u16string_view section, std::u16string_view name,
                                      std::u16string_view defaultValue) = 0;
    // Stores the value; false when it could not be stored.
    virtual bool WriteString(std::u16string_view section, std::u16string_view name,
                             std::u16string_view value) = 0;
};

} // namespace brindle
