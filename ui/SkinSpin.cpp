#include "ui/SkinSpin.h"

#include "ui/Skin.h"

#include <QLineEdit>

CSkinSpin::CSkinSpin(const SkinControl& control, QWidget* parent) : QSpinBox(parent)
{
    setRange(control.minimum, control.maximum);
    setValue(control.value);
    setAlignment(control.align);
    // Typed text is read by the spin box on textChanged, which follows textEdited; this textChanged
    // connection is made after the spin box's own, so the flag covers the value the typing sets.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { userChange_ = true; });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { userChange_ = false; });
    connect(this, &QSpinBox::valueChanged, this, [this](int changed) {
        if (userChange_)
            emit valueEdited(changed);
    });
}

void CSkinSpin::stepBy(int steps)
{
    userChange_ = true;
    QSpinBox::stepBy(steps);
    userChange_ = false;
}
