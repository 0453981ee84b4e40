#pragma once
// The left pane: the output preview, the player controls, photo, recording and the sound effects.
#include "ui/UIWnd.h"

class CWndLeftPan : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndLeftPan(QWidget* parent);
};
