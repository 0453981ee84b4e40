#pragma once
// The works tab: the recordings and photos made so far.
#include "ui/UIWnd.h"

class CWndOpus : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndOpus(QWidget* parent);
};
