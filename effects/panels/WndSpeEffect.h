#pragma once
// The effects tab: the category tree and the sub-panel of the chosen category.
#include "ui/UIWnd.h"

class CWndSpeEffect : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSpeEffect(QWidget* parent);
};
