#include "ui/WndUserOptHite.h"

#include "ui/SkinResources.h"

#include <QAbstractButton>
#include <QLabel>

namespace {
enum {
    IDC_CLOSE = 1002,
    IDC_YES = 1141,
    IDC_NO = 1142,
    IDC_NOTICE_OK = 1143,
    IDC_TEXT = 1144,
    IDC_CAPTION = 1145,
    IDC_NOTICE_ICON = 1146,
    IDC_QUESTION_ICON = 1147,
};
}

CWndUserOptHite::CWndUserOptHite(const QString& text, int mode, QWidget* owner)
    : CUIWnd(IDR_USER_OPT_HITE, owner, true), text_(text), mode_(mode)
{
    SetDragAnywhere(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

void CWndUserOptHite::SetCaption(const QString& caption)
{
    caption_ = caption;
}

void CWndUserOptHite::SetQuestionButtons(const QString& confirm, const QString& refuse)
{
    confirm_ = confirm;
    refuse_ = refuse;
}

bool CWndUserOptHite::OnCreate()
{
    if (auto* label = Control<QLabel>(IDC_TEXT))
        label->setText(text_);
    if (auto* caption = Control<QLabel>(IDC_CAPTION); caption && !caption_.isEmpty())
        caption->setText(caption_);
    if (!caption_.isEmpty())
        setWindowTitle(caption_);
    if (auto* yes = Control<QAbstractButton>(IDC_YES); yes && !confirm_.isEmpty())
        yes->setText(confirm_);
    if (auto* no = Control<QAbstractButton>(IDC_NO); no && !refuse_.isEmpty())
        no->setText(refuse_);
    const bool question = mode_ == MODE_QUESTION;
    ShowControl(IDC_YES, question);
    ShowControl(IDC_NO, question);
    ShowControl(IDC_QUESTION_ICON, question);
    ShowControl(IDC_NOTICE_OK, !question);
    ShowControl(IDC_NOTICE_ICON, !question);
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

BoxAnswer ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, BoxButtons buttons)
{
    const bool question = buttons == BoxButtons::YesNo;
    CWndUserOptHite box(text, question ? CWndUserOptHite::MODE_QUESTION : CWndUserOptHite::MODE_NOTICE, owner);
    box.SetCaption(caption);
    box.SetQuestionButtons(QString::fromUtf8("是"), QString::fromUtf8("否"));
    const int result = box.DoModal();
    if (!question)
        return BoxAnswer::Ok;
    return result == IDOK_RESULT ? BoxAnswer::Yes : BoxAnswer::No;
}
