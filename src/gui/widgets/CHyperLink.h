// A clickable link text. Opening goes through a replaceable function, so tests see the address
// instead of starting a browser.
#pragma once

#include <functional>

#include <QLabel>
#include <QString>

namespace brindle {

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    using Opener = std::function<void(const QString& address)>;

    explicit CHyperLink(QWidget* parent = nullptr);

    void SetLink(const QString& text, const QString& address);
    const QString& Address() const { return address_; }
    // The default opens the address with the desktop's handler (xdg-open).
    void SetOpener(Opener opener);

signals:
    void Opened(const QString& address);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString address_;
    Opener opener_;
};

} // namespace brindle
