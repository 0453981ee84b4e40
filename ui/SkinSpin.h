#pragma once
// The spin control: an edit holding an integer with an up-down beside it, limited to a range. A change
// the user makes (the arrows, the keys, the wheel, typing) notifies the window with the new value
// (NotifyCode::ValueChanged); setValue by the window is silent.
#include <QSpinBox>

struct SkinControl;

class CSkinSpin : public QSpinBox {
    Q_OBJECT
public:
    // Range and value from the skin control's min, max and value.
    CSkinSpin(const SkinControl& control, QWidget* parent);

    // The arrows, the keys and the wheel step through here.
    void stepBy(int steps) override;

signals:
    void valueEdited(int value);

private:
    bool userChange_ = false;  // between the user's action and the value it sets
};
