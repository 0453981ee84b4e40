#include "effects/panels/SliderValue.h"

#include "ui/SkinControls.h"
#include "ui/UIWnd.h"

#include <QSlider>

void ShowSliderValue(CUIWnd& window, int labelId, int value, int sliderId)
{
    if (auto* slider = sliderId ? window.Control<QSlider>(sliderId) : nullptr)
        slider->setValue(value);
    if (auto* label = window.Control<CSkinStatic>(labelId))
        label->setText(QString::number(value));
}
