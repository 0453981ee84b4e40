#include "ktv/panels/WndKTV.h"

#include "ui/SkinResources.h"

CWndKTV::CWndKTV(QWidget* parent) : CUIWnd(IDR_KTV, parent)
{
}
