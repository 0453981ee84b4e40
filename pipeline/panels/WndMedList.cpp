#include "pipeline/panels/WndMedList.h"

#include "pipeline/CaptureScr.h"
#include "settings/Settings.h"
#include "ui/FileDialog.h"
#include "ui/PlayModeMenu.h"
#include "ui/SkinResources.h"
#include "ui/WndUserOptHite.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QStandardPaths>

#include <algorithm>

#include <cstdlib>

namespace {

enum : int {
    IDC_PLAY_MODE = 1182,
    IDC_DELETE = 1183,
    IDC_CLEAR = 1184,
    IDC_UP = 1185,
    IDC_DOWN = 1186,
    IDC_ADD = 1187,
    IDC_MEDIA_LIST = 4210,
};

int Random()
{
    return std::rand();
}

// Where the file dialog opens: beside the file added last, else in the user's videos folder.
QString StartFolder(const CMediaList& list)
{
    if (!list.Empty())
        return QFileInfo(QString::fromStdString(list.Paths().front())).absolutePath();
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    return QDir(videos).exists() ? videos : QString();
}

}  // namespace

const char* const CWndMedList::kMediaFilter =
    "常用媒体文件|*.avi;*.wmv;*.ra;*.rm;*.rmvb;|\t\t\t\t\t\t"
    "Windows   视频文件(*.avi;*.wmv;*.asf;)|*.avi;*.wmv;*.asf;|\t\t\t\t\t\t"
    "RealVideo 文件(*.ra;*.rm;*.rmvb;)|*.ra;*.rm;*.rmvb;|\t\t\t\t\t\t"
    "QuickTime 文件(*.mov;*.qt;)|*.mov;*.qt;||";

CWndMedList::CWndMedList(QWidget* parent) : CUIWnd(IDR_MED_LIST, parent)
{
}

int CWndMedList::SelectedEntry() const
{
    const auto* view = Control<QListWidget>(IDC_MEDIA_LIST);
    return view ? view->currentRow() : -1;
}

void CWndMedList::ShowList(int selected)
{
    auto* view = Control<QListWidget>(IDC_MEDIA_LIST);
    if (!view)
        return;
    view->clear();
    for (const std::string& name : list_.Names())
        view->addItem(QString::fromStdString(name));
    view->setCurrentRow(selected);
}

void CWndMedList::Add()
{
    const std::string path = ChooseFileToOpen(this, QString::fromUtf8(kMediaFilter), StartFolder(list_));
    if (path.empty())
        return;
    list_.Add(path);
    ShowList(0);
}

void CWndMedList::Clear()
{
    if (list_.Empty())
        return;
    if (ShowUserOptHite(this, QString::fromUtf8("您确定要清空视频列表吗？"), CWndUserOptHite::MODE_QUESTION) != IDOK_RESULT)
        return;
    list_.Clear();
    ShowList(-1);
}

void CWndMedList::ChoosePlayMode()
{
    const QWidget* button = GetControl(IDC_PLAY_MODE);
    const QPoint below = button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
    const int mode = ::ChoosePlayMode(this, Settings.LoopMode.MedFile, below);
    if (mode >= 0)
        Settings.LoopMode.MedFile = mode;
}

void CWndMedList::OnCommand(int id)
{
    const int selected = SelectedEntry();
    switch (id) {
    case IDC_ADD:
        Add();
        break;
    case IDC_DELETE:
        if (selected >= 0 && list_.Remove(size_t(selected)))
            ShowList(std::min(selected, int(list_.Count()) - 1));
        break;
    case IDC_CLEAR:
        Clear();
        break;
    case IDC_UP:
    case IDC_DOWN:
        if (selected < 0)
            break;
        if (const auto moved = id == IDC_UP ? list_.MoveUp(size_t(selected)) : list_.MoveDown(size_t(selected)))
            ShowList(int(*moved));
        break;
    case IDC_PLAY_MODE:
        ChoosePlayMode();
        break;
    }
}

void CWndMedList::OnNotify(const ControlNotify& notify)
{
    if (notify.id == IDC_MEDIA_LIST && notify.code == NotifyCode::DoubleClick && notify.index >= 0 && CaptureSink)
        list_.Play(*CaptureSink, size_t(notify.index));
}

bool CWndMedList::OnMessage(CWindowMessage& message)
{
    if (message.Message() != WM_MEDIA_LIST_ENDED)
        return false;
    if (CaptureSink)
        list_.PlayNextAfterEnd(*CaptureSink, Settings.LoopMode.MedFile, Random);
    return true;
}
