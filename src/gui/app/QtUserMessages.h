// Message boxes of the program: information boxes with OK, Yes/No confirmations with No as the
// default, both with an empty caption.
#pragma once

#include <QWidget>

#include "core/platform/UserMessages.h"

namespace brindle {

class QtUserMessages : public UserMessages {
public:
    explicit QtUserMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void ShowInfo(const std::u16string& text) override;
    bool AskYesNo(const std::u16string& text) override;

private:
    QWidget* parent_;
};

} // namespace brindle
