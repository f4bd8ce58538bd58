// The About box: a plain (unskinned) modeless dialog with the version, the copyright, a link to
// the vendor's page and OK. F1 in it opens the help page.
#pragma once

#include <QDialog>
#include <functional>

#include "core/lang/TextLookup.h"

class QLabel;
class QPushButton;

namespace brindle {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(QWidget* parent, const QString& linkAddress, std::function<void()> openHelp);

    // The language message: re-captions the box with texts of the given lookup.
    void ApplyLanguage(const TextLookup& lookup);

    QLabel* VersionText() const { return version_; }
    QLabel* CopyrightText() const { return copyright_; }
    QLabel* Link() const { return link_; }
    QPushButton* OkButton() const { return ok_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* version_;
    QLabel* copyright_;
    QLabel* link_;
    QPushButton* ok_;
    std::function<void()> openHelp_;
};

} // namespace brindle
