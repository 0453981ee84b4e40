#pragma once
// The skinned area shown below the media list while the media source is chosen.
#include "ui/SkinResources.h"
#include "ui/UIWnd.h"

class CWndMedView : public CUIWnd {
public:
    explicit CWndMedView(QWidget* parent) : CUIWnd(IDR_MED_VIEW, parent) {}
};
