// An image button: for each state it shows its own rectangle cut from a full-window picture, so
// a whole window of buttons is drawn from a few pictures prepared once. It can also show two
// custom pictures (colour keys), a coloured frame (per-key colours), a caption (optionally
// rotated) and a tooltip, and calls back after every paint.
//
// The pictures belong to the window; the button only keeps pointers to them, which must outlive
// it (or be replaced). A null picture draws nothing, so the window's background shows through.
#pragma once

#include <functional>

#include <QAbstractButton>
#include <QColor>
#include <QPoint>
#include <QString>
#include <QTimer>

#include "core/skin/ButtonLook.h"

class QPixmap;

namespace brindle {

class CPngButton : public QAbstractButton {
    Q_OBJECT
public:
    // Called after every paint with the button and whether the normal picture was drawn.
    using AfterPaint = std::function<void(CPngButton* button, bool normalDrawn)>;

    explicit CPngButton(QWidget* parent = nullptr);
    ~CPngButton() override;

    // Source position and the five state pictures; clears the hot and pressed state.
    void SetPictures(int x, int y, const QPixmap* normal, const QPixmap* hot,
                     const QPixmap* pressed, const QPixmap* disabled, const QPixmap* selected,
                     bool redraw);
    // The same, keeping the source position.
    void SetStatePictures(const QPixmap* normal, const QPixmap* hot, const QPixmap* pressed,
                          const QPixmap* disabled, const QPixmap* selected, bool redraw);
    // While enabled, the off or on picture (cut at the same source position) replaces the state
    // pictures in every state but disabled.
    void SetCustomPictures(const QPixmap* off, const QPixmap* on, bool enabled, bool chooseOn,
                           bool redraw);
    void SetSelected(bool selected, bool redraw);
    // Frame mode: a 2-pixel frame in `colour` over the picture.
    void SetFrame(const QColor& colour, bool on);
    // Caption drawing. `size` in points; `format` takes the draw-text flags (1 centre,
    // 2 right, 4 vertical centre, 8 bottom, 16 word break, 32 single line; 37 is the default).
    void SetText(bool on, int size, const QString& face, const QColor& normal, const QColor& hot,
                 const QColor& pressed, const QColor& disabled, int format = 37);
    void SetTextMargins(int left, int right, int top, int bottom);
    // Escapement in tenths of a degree, counter-clockwise; `rotated` centres the turned text.
    void SetRotation(int escapement, bool rotated);
    // The tooltip text; shown 300 ms after the mouse comes over the button while active.
    void SetTooltip(const QString& text, bool activate);
    void SetAfterPaint(AfterPaint callback);

    bool IsSelected() const { return selected_; }
    bool IsHot() const { return hot_; }
    bool IsFrameOn() const { return frameOn_; }
    bool CustomPicturesOn() const { return customOn_; }
    bool CustomChoosesOn() const { return customChooseOn_; }
    QPoint SourcePosition() const { return source_; }
    const QString& TooltipText() const { return tooltip_; }
    bool TooltipActive() const { return tooltipActive_; }

    // The picture the button shows in its current state (what the next paint draws).
    ButtonPicture CurrentPicture() const;
    const QPixmap* PictureFor(ButtonPicture picture) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Two fast clicks are two clicks: the second press is not swallowed as a double click.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ShowTooltipNow();

    const QPixmap* normal_ = nullptr;
    const QPixmap* hotPicture_ = nullptr;
    const QPixmap* pressed_ = nullptr;
    const QPixmap* disabled_ = nullptr;
    const QPixmap* selectedPicture_ = nullptr;
    const QPixmap* customOff_ = nullptr;
    const QPixmap* customOnPicture_ = nullptr;
    QPoint source_;
    bool hot_ = false;
    bool selected_ = false;
    bool customOn_ = false;
    bool customChooseOn_ = false;
    bool frameOn_ = false;
    QColor frameColour_;
    bool textOn_ = false;
    int fontSize_ = 8;
    QString fontFace_ = QStringLiteral("Tahoma Unicode MS");
    QColor textNormal_ = Qt::black;
    QColor textHot_ = Qt::black;
    QColor textPressed_ = Qt::black;
    QColor textDisabled_ = Qt::gray;
    int marginLeft_ = 0;
    int marginRight_ = 0;
    int marginTop_ = 0;
    int marginBottom_ = 0;
    int escapement_ = 0;
    bool rotated_ = false;
    int textFormat_ = 37;
    QString tooltip_;
    bool tooltipActive_ = false;
    QTimer tooltipTimer_;
    AfterPaint afterPaint_;
};

} // namespace brindle
