#include "effects/panels/WndSpeEffect.h"

#include "ui/SkinResources.h"

CWndSpeEffect::CWndSpeEffect(QWidget* parent) : CUIWnd(IDR_SPE_EFFECT, parent)
{
}
