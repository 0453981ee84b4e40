#include "record/panels/WndName.h"

#include "record/RecordingPath.h"
#include "settings/Settings.h"
#include "ui/SkinResources.h"
#include "ui/WndUserOptHite.h"

#include <QLineEdit>

namespace {

enum { IDC_CLOSE = 1002, IDC_NAME_EDIT = 1189, IDC_NAME_OK = 1190 };

}  // namespace

CWndName::CWndName(QWidget* owner) : CUIWnd(IDR_NAME, owner, true)
{
    SetDragAnywhere(true);
}

bool CWndName::OnCreate()
{
    if (auto* edit = Control<QLineEdit>(IDC_NAME_EDIT)) {
        connect(edit, &QLineEdit::returnPressed, this, [this] { Accept(); });
        edit->setFocus();
    }
    return true;
}

QString CWndName::Name() const
{
    const auto* edit = Control<QLineEdit>(IDC_NAME_EDIT);
    return edit ? edit->text() : QString();
}

void CWndName::OnCommand(int id)
{
    if (id == IDC_NAME_OK)
        Accept();
    else if (id == IDC_CLOSE)
        EndModal(IDCANCEL_RESULT);
}

void CWndName::Accept()
{
    std::string path;
    switch (CheckRecordName(Settings.SavePath.RecordPath, Name().toStdString(), path)) {
    case RecordNameCheck::Empty:
        ShowUserOptHite(this, QString::fromUtf8("请您填写一个文件名"), CWndUserOptHite::MODE_NOTICE);
        return;
    case RecordNameCheck::Refused:
        ShowUserOptHite(this, QString::fromUtf8("文件名不能含有“/”、“\\”或控制字符，也不能是“.”或“..”，请换一个名字"),
                        CWndUserOptHite::MODE_NOTICE);
        return;
    case RecordNameCheck::Exists:
        if (ShowUserOptHite(this, QString::fromUtf8("存在名字相同的文件, 是否覆盖?"), CWndUserOptHite::MODE_QUESTION) !=
            IDOK_RESULT)
            return;
        break;
    case RecordNameCheck::Fresh:
        break;
    }
    path_ = path;
    EndModal(IDOK_RESULT);
}
