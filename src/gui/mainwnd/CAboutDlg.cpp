#include "gui/mainwnd/CAboutDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

CAboutDlg::CAboutDlg(QWidget* parent, const QString& linkAddress, std::function<void()> openHelp)
    : QDialog(parent), openHelp_(std::move(openHelp)) {
    setObjectName(QStringLiteral("about"));
    auto* layout = new QVBoxLayout(this);
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("1206"));
    copyright_ = new QLabel(this);
    copyright_->setObjectName(QStringLiteral("1205"));
    link_ = new QLabel(this);
    link_->setObjectName(QStringLiteral("1124"));
    link_->setTextFormat(Qt::RichText);
    link_->setOpenExternalLinks(true);
    const QString escaped = linkAddress.toHtmlEscaped();
    link_->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(escaped));
    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("1"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(version_);
    layout->addWidget(copyright_);
    layout->addWidget(link_);
    layout->addWidget(ok_, 0, Qt::AlignRight);
    setAttribute(Qt::WA_DeleteOnClose);
}

void CAboutDlg::ApplyLanguage(const TextLookup& lookup) {
    auto text = [&](std::u16string_view key) { return QString::fromStdU16String(lookup(key)); };
    setWindowTitle(text(u"IDS_ABOUT_TITLE"));
    version_->setText(text(u"IDS_ABOUT_VERSION"));
    copyright_->setText(text(u"IDS_ABOUT_COPYRIGHT"));
    ok_->setText(text(u"IDS_ABOUT_OK"));
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && openHelp_) {
        openHelp_();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace brindle
