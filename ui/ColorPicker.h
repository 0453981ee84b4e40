#pragma once
// The colour picker: a button showing its colour; a click opens the colour dialog, and a colour the
// user chooses there becomes the button's and notifies the window (NotifyCode::ValueChanged, value =
// 0x00BBGGRR). Colours are Windows colour values, red in the lowest byte.
#include <QAbstractButton>

#include <cstdint>
#include <functional>
#include <optional>

class CColorPicker : public QAbstractButton {
    Q_OBJECT
public:
    explicit CColorPicker(QWidget* parent);

    uint32_t Color() const { return color_; }
    // Shows the colour without notifying.
    void SetColor(uint32_t colorRef);
    QSize sizeHint() const override;

signals:
    void colorChosen(uint32_t colorRef);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Choose();

    uint32_t color_ = 0;
};

// The colour dialog, modal over `owner`: the chosen colour, or nothing when cancelled.
std::optional<uint32_t> ChooseColor(QWidget* owner, uint32_t initialColorRef);

// What ChooseColor shows; tests put a chooser of their own here. An empty one restores the dialog,
// Qt's QColorDialog (a test can also drive it with ModalDriver::ThenDialog).
using ColorChooser = std::function<std::optional<QColor>(QWidget* owner, const QColor& initial)>;
void SetColorChooser(ColorChooser chooser);
