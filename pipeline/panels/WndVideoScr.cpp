#include "pipeline/panels/WndVideoScr.h"

#include "ui/SkinResources.h"

CWndVideoScr::CWndVideoScr(QWidget* parent) : CUIWnd(IDR_VIDEO_SCR, parent)
{
}
