#include "record/panels/WndOpus.h"

#include "ui/SkinResources.h"

CWndOpus::CWndOpus(QWidget* parent) : CUIWnd(IDR_OPUS, parent)
{
}
