#pragma once
// The video-source tab: the source tree and the sub-panel of the chosen source.
#include "ui/UIWnd.h"

class CWndVideoScr : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndVideoScr(QWidget* parent);
};
