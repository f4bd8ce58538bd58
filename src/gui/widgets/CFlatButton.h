// A flat text button for the skinned windows' plain controls: no bevel, the skin's colours,
// an accent edge while the mouse is over it.
#pragma once

#include <QColor>
#include <QPushButton>

namespace brindle {

class CFlatButton : public QPushButton {
    Q_OBJECT
public:
    explicit CFlatButton(QWidget* parent = nullptr);
    CFlatButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace brindle
