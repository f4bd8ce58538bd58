// A text drawn in its own colour straight onto the window's skin (no background of its own).
#pragma once

#include <QColor>
#include <QLabel>

namespace brindle {

class CColorStatic : public QLabel {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);

    void SetTextColor(const QColor& colour);
    QColor TextColor() const { return colour_; }
    // Point size and face; a face that is not installed falls back to the desktop's font.
    void SetTextFont(int pointSize, const QString& face = {});

private:
    QColor colour_;
};

} // namespace brindle
