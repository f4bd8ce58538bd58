#include "gui/skin/CPngButton.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace brindle {

namespace {

// Draw-text flags as the layout files and callers give them.
constexpr int kTextCentre = 0x01;
constexpr int kTextRight = 0x02;
constexpr int kTextVCentre = 0x04;
constexpr int kTextBottom = 0x08;
constexpr int kTextWordBreak = 0x10;
constexpr int kTextSingleLine = 0x20;

int QtTextFlags(int format) {
    int flags = 0;
    if (format & kTextCentre) {
        flags |= Qt::AlignHCenter;
    } else if (format & kTextRight) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    // Vertical placement only applies to single lines; otherwise the text starts at the top.
    if ((format & kTextSingleLine) && (format & kTextVCentre)) {
        flags |= Qt::AlignVCenter;
    } else if ((format & kTextSingleLine) && (format & kTextBottom)) {
        flags |= Qt::AlignBottom;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & kTextSingleLine) {
        flags |= Qt::TextSingleLine;
    } else if (format & kTextWordBreak) {
        flags |= Qt::TextWordWrap;
    }
    return flags;
}

} // namespace

CPngButton::CPngButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, false);
    tooltipTimer_.setSingleShot(true);
    tooltipTimer_.setInterval(300);
    connect(&tooltipTimer_, &QTimer::timeout, this, &CPngButton::ShowTooltipNow);
}

CPngButton::~CPngButton() = default;

void CPngButton::SetPictures(int x, int y, const QPixmap* normal, const QPixmap* hot,
                             const QPixmap* pressed, const QPixmap* disabled,
                             const QPixmap* selected, bool redraw) {
    source_ = QPoint(x, y);
    SetStatePictures(normal, hot, pressed, disabled, selected, redraw);
}

void CPngButton::SetStatePictures(const QPixmap* normal, const QPixmap* hot, const QPixmap* pressed,
                                  const QPixmap* disabled, const QPixmap* selected, bool redraw) {
    normal_ = normal;
    hotPicture_ = hot;
    pressed_ = pressed;
    disabled_ = disabled;
    selectedPicture_ = selected;
    hot_ = false;
    setDown(false);
    if (redraw) {
        update();
    }
}

void CPngButton::SetCustomPictures(const QPixmap* off, const QPixmap* on, bool enabled,
                                   bool chooseOn, bool redraw) {
    customOff_ = off;
    customOnPicture_ = on;
    customOn_ = enabled;
    customChooseOn_ = chooseOn;
    if (redraw) {
        update();
    }
}

void CPngButton::SetSelected(bool selected, bool redraw) {
    selected_ = selected;
    if (redraw) {
        update();
    }
}

void CPngButton::SetFrame(const QColor& colour, bool on) {
    frameColour_ = colour;
    frameOn_ = on;
    update();
}

void CPngButton::SetText(bool on, int size, const QString& face, const QColor& normal,
                         const QColor& hot, const QColor& pressed, const QColor& disabled,
                         int format) {
    textOn_ = on;
    fontSize_ = size > 0 ? size : 8;
    fontFace_ = face;
    textNormal_ = normal;
    textHot_ = hot;
    textPressed_ = pressed;
    textDisabled_ = disabled;
    textFormat_ = format;
    update();
}

void CPngButton::SetTextMargins(int left, int right, int top, int bottom) {
    marginLeft_ = left;
    marginRight_ = right;
    marginTop_ = top;
    marginBottom_ = bottom;
    update();
}

void CPngButton::SetRotation(int escapement, bool rotated) {
    escapement_ = escapement;
    rotated_ = rotated;
    update();
}

void CPngButton::SetTooltip(const QString& text, bool activate) {
    tooltip_ = text;
    tooltipActive_ = activate;
    setToolTip(activate ? text : QString());
}

void CPngButton::SetAfterPaint(AfterPaint callback) {
    afterPaint_ = std::move(callback);
}

ButtonPicture CPngButton::CurrentPicture() const {
    ButtonStateFlags flags;
    flags.disabled = !isEnabled();
    flags.customOn = customOn_;
    flags.pressed = isDown();
    flags.hot = hot_;
    flags.selected = selected_;
    return ChooseButtonPicture(flags);
}

const QPixmap* CPngButton::PictureFor(ButtonPicture picture) const {
    switch (picture) {
    case ButtonPicture::Normal:
        return normal_;
    case ButtonPicture::Hot:
        return hotPicture_;
    case ButtonPicture::Pressed:
        return pressed_;
    case ButtonPicture::Disabled:
        return disabled_;
    case ButtonPicture::Selected:
        return selectedPicture_;
    case ButtonPicture::Custom:
        return customChooseOn_ ? customOnPicture_ : customOff_;
    }
    return nullptr;
}

void CPngButton::paintEvent(QPaintEvent*) {
    const ButtonPicture choice = CurrentPicture();
    QPainter painter(this);
    if (const QPixmap* picture = PictureFor(choice); picture != nullptr && !picture->isNull()) {
        painter.drawPixmap(rect(), *picture, QRect(source_, size()));
    }
    if (frameOn_) {
        QPen pen(frameColour_);
        pen.setWidth(2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        // The frame's outer edge runs from (1, 1) to (width - 1, height - 1).
        painter.drawRect(QRectF(2, 2, width() - 4, height() - 4));
    }
    if (textOn_ && !text().isEmpty()) {
        QColor colour = textNormal_;
        switch (CaptionColourFor(choice)) {
        case CaptionColour::Hot:
            colour = textHot_;
            break;
        case CaptionColour::Pressed:
            colour = textPressed_;
            break;
        case CaptionColour::Disabled:
            colour = textDisabled_;
            break;
        case CaptionColour::Normal:
            break;
        }
        QFont font(fontFace_);
        font.setPointSize(fontSize_);
        // A rotated caption is drawn heavier, as the turned glyphs look thin otherwise.
        font.setWeight(rotated_ ? QFont::Black : QFont::Normal);
        painter.setFont(font);
        painter.setPen(colour);
        QRect box = rect().adjusted(-marginLeft_, -marginTop_, marginRight_, marginBottom_);
        if (rotated_ || escapement_ != 0) {
            QFontMetrics metrics(font);
            const int textWidth = metrics.horizontalAdvance(text());
            const int textHeight = metrics.height();
            TextBox target{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
            if (rotated_) {
                target = CentreRotatedText(target, textWidth, textHeight, escapement_);
            }
            painter.save();
            painter.translate(target.left, rotated_ ? target.bottom : target.top);
            painter.rotate(-escapement_ / 10.0);
            painter.drawText(QRect(0, 0, textWidth, textHeight), Qt::AlignLeft | Qt::AlignTop,
                             text());
            painter.restore();
        } else {
            painter.drawText(box, QtTextFlags(textFormat_), text());
        }
    }
    painter.end();
    if (afterPaint_) {
        afterPaint_(this, choice == ButtonPicture::Normal);
    }
}

void CPngButton::mouseMoveEvent(QMouseEvent* event) {
    if (!hot_ && isEnabled()) {
        hot_ = true;
        update();
        if (tooltipActive_ && !tooltip_.isEmpty()) {
            tooltipTimer_.start();
        }
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CPngButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CPngButton::leaveEvent(QEvent* event) {
    tooltipTimer_.stop();
    if (hot_) {
        hot_ = false;
        update();
    }
    QAbstractButton::leaveEvent(event);
}

bool CPngButton::event(QEvent* event) {
    // The button shows its own tooltip on its own delay.
    if (event->type() == QEvent::ToolTip) {
        return true;
    }
    return QAbstractButton::event(event);
}

void CPngButton::ShowTooltipNow() {
    if (hot_ && tooltipActive_ && !tooltip_.isEmpty()) {
        QToolTip::showText(mapToGlobal(QPoint(width() / 2, height())), tooltip_, this);
    }
}

} // namespace brindle
