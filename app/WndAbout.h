#pragma once
// The about box; its content is the skin's.
#include "ui/UIWnd.h"

class CWndAbout : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndAbout(QWidget* owner = nullptr);

protected:
    void OnCommand(int id) override;
};
