#include "gui/skin/CBaseDialog.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include "gui/skin/CPngButton.h"
#include "gui/skin/SkinPictures.h"

namespace brindle {

CBaseDialog::CBaseDialog(int dialogId, QWidget* parent, const QString& layoutFile,
                         const QString& skinFolder)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), dialogId_(dialogId),
      layoutFile_(layoutFile), skinFolder_(skinFolder),
      shapeByTransparency_(!PlatformShapesWindows()) {
    // The skin paints every pixel; nothing of the style's background shows.
    setAttribute(Qt::WA_OpaquePaintEvent, !shapeByTransparency_);
    if (shapeByTransparency_) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    layout_ = SkinLayout::Load(layoutFile_.toStdString());
}

CBaseDialog::~CBaseDialog() = default;

bool CBaseDialog::PlatformShapesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QString CBaseDialog::SkinPath(const QString& name) const {
    if (skinFolder_.isEmpty() || skinFolder_.endsWith(QLatin1Char('/'))) {
        return skinFolder_ + name;
    }
    return skinFolder_ + QLatin1Char('/') + name;
}

CBaseDialog::SkinResult CBaseDialog::LoadSkin() {
    loadingSkin_ = true;
    layout_ = SkinLayout::Load(layoutFile_.toStdString());
    const QString mainName = QString::fromStdString(layout_.MainPicture());
    const QString maskName = QString::fromStdString(layout_.MaskPicture());
    SkinResult result = SkinResult::Loaded;
    QPixmap background;
    QImage mask;
    // An empty name is a missing key: there is nothing to load.
    if (mainName.isEmpty() || (background = QPixmap(SkinPath(mainName))).isNull()) {
        skinError_ = SkinPath(mainName);
        result = SkinResult::BackgroundMissing;
    } else if ((mask = QImage(SkinPath(maskName))).isNull()) {
        skinError_ = SkinPath(maskName);
        result = SkinResult::MaskMissing;
    }
    if (result == SkinResult::Loaded) {
        skinError_.clear();
        background_ = background;
        mask_ = mask;
        shape_ = MaskToRegion(mask_);
        setFixedSize(background_.size());
        if (shapeByTransparency_) {
            clearMask();
        } else {
            // An empty region would mean "no mask" to Qt; an all-white mask must hide the
            // window completely, so it gets a region that covers nothing visible.
            setMask(shape_.isEmpty() ? QRegion(-1, -1, 1, 1) : shape_);
        }
        raise();
        hide();
        update();
    }
    loadingSkin_ = false;
    return result;
}

SkinRect CBaseDialog::PlaceControl(QWidget* control, std::string_view key) {
    SkinRect r = layout_.Rect(key);
    control->setGeometry(r.x, r.y, r.w, r.h);
    return r;
}

SkinRect CBaseDialog::PlaceAtPosition(QWidget* control, std::string_view key) {
    SkinRect r = layout_.Rect(key);
    control->move(r.x, r.y);
    control->update();
    return r;
}

SkinRect CBaseDialog::PlacePictureButton(CPngButton* button, std::string_view key,
                                         const QPixmap* normal, const QPixmap* hot,
                                         const QPixmap* pressed, const QPixmap* disabled,
                                         const QPixmap* selected) {
    SkinRect r = layout_.Rect(key);
    button->setGeometry(r.x, r.y, r.w, r.h);
    button->SetPictures(r.x, r.y, normal, hot, pressed, disabled, selected, false);
    if (r.IsParked()) {
        button->setEnabled(false);
    }
    return r;
}

SkinRect CBaseDialog::PlacePictureFrom(CPngButton* button, std::string_view key,
                                       std::string_view pictureSection, std::string_view pictureKey,
                                       const QPixmap* picture) {
    SkinRect r = layout_.Rect(key);
    button->setGeometry(r.x, r.y, r.w, r.h);
    SkinRect from = layout_.Rect(pictureSection, pictureKey);
    button->SetPictures(from.x, from.y, picture, picture, picture, picture, picture, true);
    return r;
}

void CBaseDialog::accept() {
    background_ = QPixmap();
    mask_ = QImage();
    QDialog::accept();
}

void CBaseDialog::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (shapeByTransparency_) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(event->rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setClipRegion(shape_);
    }
    if (!background_.isNull()) {
        painter.drawPixmap(0, 0, background_);
    } else if (!shapeByTransparency_) {
        painter.fillRect(event->rect(), palette().window());
    }
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    // A press on the background (controls take their own presses) moves the window.
    if (shapeByTransparency_ && windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void CBaseDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CBaseDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

} // namespace brindle
