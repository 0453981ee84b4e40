#include "pipeline/panels/WndSubImgView.h"

#include "fileio/ProgramFolder.h"
#include "pipeline/SourceLists.h"
#include "pipeline/panels/ComboItems.h"
#include "settings/WindowMessages.h"
#include "ui/ShellTree.h"
#include "ui/SkinResources.h"
#include "ui/SkinThumbs.h"
#include "ui/WndUserOptHite.h"

#include <QComboBox>
#include <QDir>
#include <QStandardPaths>

namespace {

enum : int {
    IDC_HISTORY = 1200,
    IDC_FOLDERS = 4220,
    IDC_THUMBNAILS = 4221,
};

// Where browsing starts: the user's pictures folder, else the home folder.
QString FirstFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

}  // namespace

CWndSubImgView::CWndSubImgView(QWidget* parent) : CUIWnd(IDR_SUB_IMG_VIEW, parent)
{
}

bool CWndSubImgView::OnCreate()
{
    if (!Control<CShellTree>(IDC_FOLDERS) || !Control<CSkinThumbs>(IDC_THUMBNAILS))
        return false;
    Control<CShellTree>(IDC_FOLDERS)->SelectPath(FirstFolder());
    return true;
}

void CWndSubImgView::OnNotify(const ControlNotify& notify)
{
    switch (notify.id) {
    case IDC_FOLDERS:
        if (notify.code == NotifyCode::SelChanged)
            ShowFolder(QDir::fromNativeSeparators(notify.text).toStdString());
        break;
    case IDC_HISTORY:
        // The tree shows the folder, and its selection shows the pictures; a folder that is gone leaves
        // the one shown before, and the list says so again.
        if (notify.code == NotifyCode::SelChanged && notify.index >= 0 && size_t(notify.index) < history_.size() &&
            !Control<CShellTree>(IDC_FOLDERS)->SelectPath(QString::fromStdString(history_[size_t(notify.index)]))) {
            ReportMissingFolder();
            ShowHistory();
        }
        break;
    case IDC_THUMBNAILS:
        if (notify.code == NotifyCode::DoubleClick && notify.index >= 0) {
            const QString name = Control<CSkinThumbs>(IDC_THUMBNAILS)->PictureName(notify.index);
            if (!name.isEmpty())
                SendWindowMessage(parentWidget(), WM_SHOW_PICTURE_FILE, 0, 0,
                                  PictureFilePath(folder_, name.toStdString()));
        }
        break;
    }
}

void CWndSubImgView::ShowFolder(const std::string& folder)
{
    auto* thumbnails = Control<CSkinThumbs>(IDC_THUMBNAILS);
    scan_.Stop();
    thumbnails->clear();
    listed_ = false;
    if (!FolderExists(folder)) {
        ReportMissingFolder();
        return;
    }
    folder_ = folder;
    PutOnTop(history_, folder);
    ShowHistory();
    scan_.Start(
        folder, true, this,
        [thumbnails](std::vector<ScannedPicture> batch) {
            for (const ScannedPicture& picture : batch)
                thumbnails->AddPicture(QString::fromStdString(picture.name), picture.thumbnail);
        },
        [this](bool folderRead) {
            listed_ = true;
            if (!folderRead)
                ReportMissingFolder();
        });
}

void CWndSubImgView::ShowHistory()
{
    SetComboItems(Control<QComboBox>(IDC_HISTORY), history_, 0);
}

void CWndSubImgView::ReportMissingFolder()
{
    ShowMessageBox(this, QString::fromUtf8(kMissingFolderText), QString::fromUtf8(kMissingFolderCaption));
}
