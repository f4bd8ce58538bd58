// What the core needs from whoever shows messages to the user: message boxes in the program,
// a terminal in brindlectl, a script in tests. Texts arrive already looked up.
#pragma once

#include <string>

namespace brindle {

class UserMessages {
public:
    virtual ~UserMessages() = default;
    // An information box with an OK button.
    virtual void ShowInfo(const std::u16string& text) = 0;
    // A Yes/No confirmation, No being the default; true for Yes.
    virtual bool AskYesNo(const std::u16string& text) = 0;
};

} // namespace brindle
