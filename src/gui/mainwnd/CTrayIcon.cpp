#include "gui/mainwnd/CTrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QSystemTrayIcon>
#include <QWidget>

namespace brindle {

CTrayIcon::CTrayIcon(QObject* parent) : QObject(parent) {
    popup = [](QMenu& menu) {
        QAction* chosen = menu.exec(QCursor::pos());
        return chosen ? chosen->data().toInt() : 0;
    };
    trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
}

CTrayIcon::~CTrayIcon() {
    Delete();
}

bool CTrayIcon::Create(QWidget* owner, int /*callbackMessage*/, const QString& tooltip,
                       const QIcon& icon, int id, std::vector<MenuItem> menuItems) {
    if (!owner || !trayAvailable || !trayAvailable())
        return false;
    owner_ = owner;
    id_ = id;
    menuItems_ = std::move(menuItems);
    icon_ = std::make_unique<QSystemTrayIcon>(icon);
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Context:
                    OnTrayNotification(id_, Mouse::RightButtonUp);
                    break;
                case QSystemTrayIcon::DoubleClick:
                    OnTrayNotification(id_, Mouse::LeftButtonDoubleClick);
                    break;
                case QSystemTrayIcon::Trigger:
                    OnTrayNotification(id_, Mouse::LeftButtonDown);
                    break;
                default:
                    OnTrayNotification(id_, Mouse::Other);
                }
            });
    added_ = true;
    SetTooltip(tooltip);
    icon_->show();
    return true;
}

void CTrayIcon::SetIcon(const QIcon& icon) {
    if (added_)
        icon_->setIcon(icon);
}

void CTrayIcon::SetTooltip(const QString& text) {
    if (!added_)
        return;
    QString cut = text.left(kTooltipUnits);
    if (cut.size() == kTooltipUnits && cut.back().isHighSurrogate())
        cut.chop(1);
    tooltip_ = cut;
    icon_->setToolTip(cut);
}

void CTrayIcon::Readd() {
    if (!added_ || hidden_)
        return;
    hidden_ = true;
    icon_->hide();
    icon_->show();
    hidden_ = false;
}

void CTrayIcon::Delete() {
    if (icon_)
        icon_->hide();
    icon_.reset();
    added_ = false;
}

void CTrayIcon::OnTrayNotification(int id, Mouse event) {
    if (id != id_ || !added_)
        return;
    switch (event) {
    case Mouse::RightButtonUp: {
        if (menuItems_.empty())
            return;
        QMenu menu(owner_);
        for (const MenuItem& item : menuItems_) {
            QAction* action = menu.addAction(item.caption);
            action->setData(item.command);
        }
        const int preferred = defaultCommand_ ? defaultCommand_ : menuItems_.front().command;
        for (QAction* action : menu.actions())
            if (action->data().toInt() == preferred)
                menu.setDefaultAction(action);
        if (menuCallback_)
            menuCallback_(menu);
        if (owner_) {
            owner_->raise();
            owner_->activateWindow();
        }
        if (int chosen = popup(menu))
            emit command(chosen);
        break;
    }
    case Mouse::LeftButtonDoubleClick: {
        singleClickPending_ = false;
        if (owner_)
            owner_->activateWindow();
        int target = defaultCommand_;
        if (!target && !menuItems_.empty())
            target = menuItems_.front().command;
        if (target)
            emit command(target);
        break;
    }
    case Mouse::LeftButtonDown:
        // A single click only arms the single-click command; nothing happens on it.
        if (singleClickCommand_)
            singleClickPending_ = true;
        break;
    case Mouse::Other:
        break;
    }
}

} // namespace brindle
