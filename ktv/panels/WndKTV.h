#pragma once
// The KTV tab: the song catalogue and the song list.
#include "ui/UIWnd.h"

class CWndKTV : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndKTV(QWidget* parent);
};
