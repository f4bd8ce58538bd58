// A picture that acts on a click: the lighting panel's switch, arrows, hue and tool pictures.
#pragma once

#include <QLabel>
#include <QPixmap>

namespace brindle {

class CPictureStatic : public QLabel {
    Q_OBJECT
public:
    explicit CPictureStatic(int controlId, QWidget* parent = nullptr);

    int ControlId() const { return controlId_; }
    // Shown at its natural size from the top-left corner; a null picture shows nothing.
    void SetPicture(const QPixmap& picture);

signals:
    void Clicked(int controlId);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int controlId_;
};

} // namespace brindle
