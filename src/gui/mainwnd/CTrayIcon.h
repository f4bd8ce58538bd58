// The program's icon in the notification area, over QSystemTrayIcon. Without a tray host Create
// fails and every later call does nothing; the program keeps running and is reached by starting
// it again.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace brindle {

class CTrayIcon : public QObject {
    Q_OBJECT
public:
    // The mouse events of the icon as the notification handler sees them.
    enum class Mouse { RightButtonUp, LeftButtonDoubleClick, LeftButtonDown, Other };

    // A menu item: command id and its resource caption (replaced by the menu callback).
    struct MenuItem {
        int command;
        QString caption;
    };

    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Fails (false) when there is no owner or no tray host. `menuItems` is the popup of the
    // icon's menu resource (the id).
    bool Create(QWidget* owner, int callbackMessage, const QString& tooltip, const QIcon& icon,
                int id, std::vector<MenuItem> menuItems);
    void SetIcon(const QIcon& icon);
    // Tooltips longer than the tray record's 127 characters are cut there, never inside a
    // surrogate pair.
    void SetTooltip(const QString& text);
    // Removes and adds the icon again (the tray host was restarted).
    void Readd();
    void Delete();
    void SetSingleClickCommand(int command) { singleClickCommand_ = command; }
    void SetDefaultCommand(int command) { defaultCommand_ = command; }
    // Called with the popup before it shows: sets each item's text by its command (data()).
    void SetMenuCallback(std::function<void(QMenu&)> callback) {
        menuCallback_ = std::move(callback);
    }

    bool Added() const { return added_; }
    int Id() const { return id_; }
    const QString& Tooltip() const { return tooltip_; }
    bool SingleClickPending() const { return singleClickPending_; }

    // The notification handler: `id` must be the icon's id.
    void OnTrayNotification(int id, Mouse event);

    // Shows the menu and returns the chosen command (0 for none). Tests replace it.
    std::function<int(QMenu&)> popup;
    // Whether a tray host is there. Tests replace it.
    std::function<bool()> trayAvailable;

    // The maximum tooltip length of the tray record (128 characters with the end).
    static constexpr int kTooltipUnits = 127;

signals:
    // A command chosen from the menu or given by a double click, for the owner's handler.
    void command(int id);

private:
    QWidget* owner_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::vector<MenuItem> menuItems_;
    std::function<void(QMenu&)> menuCallback_;
    QString tooltip_;
    int id_ = 0;
    int singleClickCommand_ = 0;
    int defaultCommand_ = 0;
    bool added_ = false;
    bool hidden_ = false;
    bool singleClickPending_ = false;
};

} // namespace brindle
