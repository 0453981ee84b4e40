#include "ktv/panels/WndLeftPan.h"

#include "ui/SkinResources.h"

CWndLeftPan::CWndLeftPan(QWidget* parent) : CUIWnd(IDR_LEFT_PAN, parent)
{
}
