// A colour picker button: shows its colour as a swatch; a click asks for a new colour. Asking
// goes through a replaceable function, so tests answer without a dialog.
#pragma once

#include <functional>
#include <optional>

#include <QAbstractButton>
#include <QColor>

namespace brindle {

class CSkinColorBtn : public QAbstractButton {
    Q_OBJECT
public:
    // Returns the chosen colour, or nothing when the user cancelled.
    using Chooser = std::function<std::optional<QColor>(const QColor& current, QWidget* parent)>;

    explicit CSkinColorBtn(int controlId, QWidget* parent = nullptr);

    int ControlId() const { return controlId_; }
    // The picked colour, or the automatic colour while none has been picked.
    QColor Color() const { return picked_ ? colour_ : automatic_; }
    // The picked colour as it is, invalid while none has been picked.
    QColor PickedColor() const { return picked_ ? colour_ : QColor(); }
    void SetColor(const QColor& colour);
    void SetAutomaticColor(const QColor& colour) { automatic_ = colour; }
    // Whether the chooser offers any colour (the "other" entry) or only the automatic one.
    void EnableOtherButton(bool on) { otherEnabled_ = on; }
    void SetChooser(Chooser chooser);

signals:
    // After the user picked a colour (not after SetColor).
    void ColorChanged(int controlId, const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Choose();

    int controlId_;
    QColor colour_;
    QColor automatic_ = Qt::white;
    bool picked_ = false;
    bool otherEnabled_ = false;
    Chooser chooser_;
};

} // namespace brindle
