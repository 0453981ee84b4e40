#include "app/WndUserOptHite.h"

#include "ui/SkinResources.h"

#include <QLabel>

namespace {
enum { IDC_CLOSE = 1002, IDC_YES = 1141, IDC_NO = 1142, IDC_NOTICE_OK = 1143, IDC_TEXT = 1144 };
}

CWndUserOptHite::CWndUserOptHite(const QString& text, int mode, QWidget* owner)
    : CUIWnd(IDR_USER_OPT_HITE, owner, true), text_(text), mode_(mode)
{
    SetDragAnywhere(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

bool CWndUserOptHite::OnCreate()
{
    if (auto* label = Control<QLabel>(IDC_TEXT))
        label->setText(text_);
    const bool question = mode_ == MODE_QUESTION;
    ShowControl(IDC_YES, question);
    ShowControl(IDC_NO, question);
    ShowControl(IDC_NOTICE_OK, !question);
    return true;
}

void CWndUserOptHite::OnCommand(int id)
{
    switch (id) {
    case IDC_YES:
    case IDC_NOTICE_OK:
        EndModal(IDOK_RESULT);
        break;
    case IDC_NO:
    case IDC_CLOSE:
        EndModal(IDCANCEL_RESULT);
        break;
    }
}

int ShowUserOptHite(QWidget* owner, const QString& text, int mode)
{
    CWndUserOptHite box(text, mode, owner);
    return box.DoModal();
}
