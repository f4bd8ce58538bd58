// A borderless dialog whose look is its skin: background picture, shape from a mask picture, and
// dragging by the background. Controls are placed by the subclass from the same layout file.
//
// On X11 the shape is the widget mask. On Wayland a window cannot shape itself, so the dialog
// paints the cut-out parts transparent instead and dragging goes through the compositor.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QString>

#include "core/skin/SkinLayout.h"
#include "core/skin/SkinRect.h"

namespace brindle {

class CPngButton;

class CBaseDialog : public QDialog {
    Q_OBJECT
public:
    enum class SkinResult { Loaded, BackgroundMissing, MaskMissing };

    // `layoutFile` is the window's layout file, `skinFolder` the folder its picture names are
    // relative to (both usually ProgramPaths' skin folder and a file in it).
    CBaseDialog(int dialogId, QWidget* parent, const QString& layoutFile,
                const QString& skinFolder);
    ~CBaseDialog() override;

    int DialogId() const { return dialogId_; }
    const SkinLayout& Layout() const { return layout_; }
    const QString& SkinFolder() const { return skinFolder_; }
    QString SkinPath(const QString& name) const;

    // Reads the layout file, loads the background and the mask, sizes the window to the
    // background and gives it the mask's shape (white pixels are cut out). The window is hidden
    // afterwards. A background or mask that cannot be read leaves the dialog unskinned and is
    // reported; the caller ends the program then (exit code 0, no message). Subclasses call it
    // first thing in their initialisation.
    SkinResult LoadSkin();
    // The picture file that failed, after LoadSkin did not return Loaded.
    const QString& SkinError() const { return skinError_; }
    bool IsLoadingSkin() const { return loadingSkin_; }

    const QPixmap& Background() const { return background_; }
    const QRegion& Shape() const { return shape_; }
    // True when the shape is drawn as transparency instead of a window mask (Wayland).
    bool ShapeByTransparency() const { return shapeByTransparency_; }

    // The placement operations of the layout file, section "BUTTONINFO" unless given.
    // PlaceControl: moves and sizes the control; never disables it.
    SkinRect PlaceControl(QWidget* control, std::string_view key);
    // PlaceAtPosition: moves the control keeping its size.
    SkinRect PlaceAtPosition(QWidget* control, std::string_view key);
    // PlacePictureButton: places the button and cuts its five state pictures at its own
    // rectangle; a button at (1, 1) is disabled.
    SkinRect PlacePictureButton(CPngButton* button, std::string_view key, const QPixmap* normal,
                                const QPixmap* hot, const QPixmap* pressed, const QPixmap* disabled,
                                const QPixmap* selected);
    // PlacePictureFrom: places like PlaceControl by `key`, then shows, in every state, the part
    // of `picture` at the x and y of (pictureSection, pictureKey).
    SkinRect PlacePictureFrom(CPngButton* button, std::string_view key,
                              std::string_view pictureSection, std::string_view pictureKey,
                              const QPixmap* picture);

    // Whether the platform shapes windows by mask; false on Wayland. Tests may override it
    // before LoadSkin.
    static bool PlatformShapesWindows();
    void SetShapeByTransparency(bool on) { shapeByTransparency_ = on; }

    // OK frees the background and the mask, then closes as accepted.
    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int dialogId_;
    QString layoutFile_;
    QString skinFolder_;
    SkinLayout layout_;
    QPixmap background_;
    QImage mask_;
    QRegion shape_;
    QString skinError_;
    bool loadingSkin_ = false;
    bool shapeByTransparency_;
    bool dragging_ = false;
    QPoint dragOffset_;
};

} // namespace brindle
