#include "gui/app/QtUserMessages.h"

#include <QMessageBox>

namespace brindle {

void QtUserMessages::ShowInfo(const std::u16string& text) {
    QMessageBox::information(parent_, QString(), QString::fromStdU16String(text), QMessageBox::Ok);
}

bool QtUserMessages::AskYesNo(const std::u16string& text) {
    return QMessageBox::question(parent_, QString(), QString::fromStdU16String(text),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace brindle
