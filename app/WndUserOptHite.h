#pragma once
// The program's own message box: a text, a question (mode 0, two buttons) or a notice (mode 1, one
// button), run modally over its owner. 1 means confirmed, 2 refused or closed.
#include "ui/UIWnd.h"

class CWndUserOptHite : public CUIWnd {
    Q_OBJECT
public:
    enum Mode { MODE_QUESTION = 0, MODE_NOTICE = 1 };

    CWndUserOptHite(const QString& text, int mode, QWidget* owner = nullptr);

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    QString text_;
    int mode_;
};

// Shows the box modally and returns its result.
int ShowUserOptHite(QWidget* owner, const QString& text, int mode);
