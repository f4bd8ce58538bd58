// A slider whose whole face is one picture (the owner swaps the picture as the position
// changes). It reports a new position once the user lets go: on mouse release, on the wheel and
// on the arrow keys, never while dragging.
#pragma once

#include <QAbstractSlider>
#include <QPixmap>

namespace brindle {

class CBitmapSlider : public QAbstractSlider {
    Q_OBJECT
public:
    explicit CBitmapSlider(int controlId, QWidget* parent = nullptr);

    int ControlId() const { return controlId_; }
    void SetFace(const QPixmap& face);
    const QPixmap& Face() const { return face_; }

    // The position a click at x (client pixels) chooses: positions are spread evenly from the
    // left to the right edge.
    int PositionAt(int x) const;

signals:
    // Sent once per committed change, with the slider's control id and the new position.
    void PositionCommitted(int controlId, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Commit();

    int controlId_;
    QPixmap face_;
    bool dragging_ = false;
};

} // namespace brindle
