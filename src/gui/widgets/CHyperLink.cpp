#include "gui/widgets/CHyperLink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace brindle {

CHyperLink::CHyperLink(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0xf2, 0xa3, 0x3a));
    setPalette(p);
    opener_ = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
}

void CHyperLink::SetLink(const QString& text, const QString& address) {
    setText(text);
    address_ = address;
    setToolTip(address);
}

void CHyperLink::SetOpener(Opener opener) {
    opener_ = std::move(opener);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        !address_.isEmpty()) {
        if (opener_) {
            opener_(address_);
        }
        emit Opened(address_);
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace brindle
