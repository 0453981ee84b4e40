#include "record/panels/WndRecordFinishHite.h"

#include "record/RecordReport.h"
#include "ui/SkinResources.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>

namespace {

enum { IDC_OPEN_FILE = 1192, IDC_OPEN_FOLDER = 1193, IDC_DONE = 1194, IDC_CLOSE = 1195, IDC_REPORT = 1196 };

void OpenOnDesktop(const std::string& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace

CWndRecordFinishHite::CWndRecordFinishHite(const std::string& path, QWidget* owner)
    : CUIWnd(IDR_RECORD_FINISH, owner, true), path_(path)
{
    SetDragAnywhere(true);
}

bool CWndRecordFinishHite::OnCreate()
{
    if (auto* report = Control<QLabel>(IDC_REPORT))
        report->setText(QString::fromStdString(RecordReportText(path_)));
    // Nothing to play when the file cannot be read.
    const QFileInfo file(QString::fromStdString(path_));
    if (QWidget* open = GetControl(IDC_OPEN_FILE))
        open->setEnabled(file.isFile() && file.isReadable());
    return true;
}

void CWndRecordFinishHite::OnCommand(int id)
{
    switch (id) {
    case IDC_OPEN_FILE:
        EndModal(IDCANCEL_RESULT);
        OpenOnDesktop(path_);
        break;
    case IDC_OPEN_FOLDER:
        EndModal(IDCANCEL_RESULT);
        OpenOnDesktop(FolderOfFile(path_));
        break;
    case IDC_DONE:
    case IDC_CLOSE:
        EndModal(IDCANCEL_RESULT);
        break;
    }
}
