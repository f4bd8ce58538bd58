// Puts any UserMessages on the GUI thread: a worker thread (the keyboard write) raising a message
// waits while the GUI thread shows it. The worker holds no configuration lock at that point.
#pragma once

#include "core/platform/UserMessages.h"
#include "gui/app/GuiThreadCall.h"

namespace brindle {

class GuiThreadMessages : public UserMessages {
public:
    GuiThreadMessages(UserMessages& target, GuiThreadCall& gui) : target_(target), gui_(gui) {}
    void ShowInfo(const std::u16string& text) override {
        gui_.Send([this, text] {
            target_.ShowInfo(text);
            return intptr_t{0};
        });
    }
    bool AskYesNo(const std::u16string& text) override {
        return gui_.Send([this, text] { return intptr_t{target_.AskYesNo(text) ? 1 : 0}; }) != 0;
    }

private:
    UserMessages& target_;
    GuiThreadCall& gui_;
};

} // namespace brindle
