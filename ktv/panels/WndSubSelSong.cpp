#include "ktv/panels/WndSubSelSong.h"

#include "fileio/ProgramFolder.h"
#include "pipeline/CaptureScr.h"
#include "settings/Settings.h"
#include "ui/FileDialog.h"
#include "ui/PlayModeMenu.h"
#include "ui/SkinResources.h"
#include "ui/SkinTreeList.h"
#include "ui/WndUserOptHite.h"

#include <QScrollBar>
#include <QTimerEvent>

#include <cstdlib>

namespace {

enum {
    IDC_ADD_FROM_DISK = 1201,
    IDC_DELETE = 1202,
    IDC_CLEAR = 1203,
    IDC_UP = 1204,
    IDC_DOWN = 1205,
    IDC_PLAY_MODE = 1206,
    IDC_SONGS = 4310,
};
constexpr int kWatchMs = 800;
const char* const kDiskFilter = "Audio Files(*.mp3;*.wma;*.mpg;)|*.mp3;*.wma;*.mpg;||";
const char* const kMediaSourceRefusal =
    "当前视频来源为媒体文件，不能\t\t\t\t\t\t\t\t\t   使用KTV功能，请选择其他视频来源！";

// The folder to use for `current`: DownLoad/<name> of the program folder when it is empty, or when it is
// missing and either `keepChoice` is off or it cannot be made.
std::string UsableFolder(const std::string& current, const char* name, bool keepChoice)
{
    if (!current.empty() && (FolderExists(current) || (keepChoice && MakeFolder(current))))
        return current;
    return ProgramFile("DownLoad") + "/" + name;
}

}  // namespace

CWndSubSelSong::CWndSubSelSong(QWidget* parent) : CUIWnd(IDR_SUB_SEL_SONG, parent)
{
}

CWndSubSelSong::~CWndSubSelSong() = default;

CSkinTreeList* CWndSubSelSong::ListControl() const
{
    return Control<CSkinTreeList>(IDC_SONGS);
}

bool CWndSubSelSong::OnCreate()
{
    ApplyFolders(false);
    songClient_.SetNotifyWindow(this);
    lyricClient_.SetNotifyWindow(this);
    DownloadLimits lyricLimits = lyricClient_.Limits();
    lyricLimits.maxBytes = kMaxLyricBytes;
    lyricClient_.SetLimits(lyricLimits);
    if (CSkinTreeList* list = ListControl())
        list->SetColumnProportions({2 / 3.0, 1 / 3.0});
    downloadWatch_.start(kWatchMs, this);
    return true;
}

void CWndSubSelSong::ApplyFolders(bool keepChoice)
{
    auto& paths = Settings.SavePath;
    paths.SongPath = UsableFolder(paths.SongPath, "Songs", keepChoice);
    paths.LyricPath = UsableFolder(paths.LyricPath, "Lyrics", keepChoice);
    MakeFolder(paths.SongPath);
    MakeFolder(paths.LyricPath);
    songClient_.SetFolder(paths.SongPath);
    lyricClient_.SetFolder(paths.LyricPath);
}

void CWndSubSelSong::OnCommand(int id)
{
    switch (id) {
    case IDC_ADD_FROM_DISK:
        AddFromDisk();
        break;
    case IDC_DELETE:
        DeleteSelected();
        break;
    case IDC_CLEAR:
        Clear();
        break;
    case IDC_UP:
    case IDC_DOWN:
        MoveSelected(id == IDC_UP);
        break;
    case IDC_PLAY_MODE:
        ChoosePlayMode();
        break;
    }
}

void CWndSubSelSong::OnNotify(const ControlNotify& notify)
{
    if (notify.id != IDC_SONGS || notify.code != NotifyCode::DoubleClick || notify.index < 0)
        return;
    if (CaptureSink && CaptureSink->SourceKind() == SOURCE_MEDIA) {
        ShowUserOptHite(this, QString::fromUtf8(kMediaSourceRefusal), CWndUserOptHite::MODE_NOTICE);
        return;
    }
    PlayEntry(size_t(notify.index));
}

bool CWndSubSelSong::OnMessage(CWindowMessage& message)
{
    switch (message.Message()) {
    case WM_KTV_ADD_SONG:
        if (const auto* link = std::any_cast<CatalogueLink>(&message.payload))
            AddFromCatalogue(*link);
        return true;
    case WM_DOWNLOAD_STARTED:
    case WM_DOWNLOAD_PROGRESS:
    case WM_DOWNLOAD_DONE:
    case WM_DOWNLOAD_FAILED:
        OnDownloadNotice(message);
        return true;
    case WM_KTV_SONG_ENDED:
        OnSongEnded(message.wParam != 0);
        return true;
    case WM_KTV_RELOAD_SONGS:
        ApplyFolders(true);
        RebuildList();
        return true;
    }
    return false;
}

void CWndSubSelSong::AddFromCatalogue(const CatalogueLink& link)
{
    const auto& paths = Settings.SavePath;
    const size_t before = lists_.Songs().size() + lists_.Lyrics().size();
    for (const PendingDownload& download : lists_.AddFromCatalogue(link, paths.SongPath, paths.LyricPath)) {
        // The folder may have been removed since the list was made.
        MakeFolder(download.lyric ? paths.LyricPath : paths.SongPath);
        (download.lyric ? lyricClient_ : songClient_).Download(download.url, download.fileName);
    }
    if (lists_.Songs().size() + lists_.Lyrics().size() != before)
        RebuildList();
}

void CWndSubSelSong::AddFromDisk()
{
    const std::string path = ChooseFileToOpen(this, QString::fromUtf8(kDiskFilter));
    if (path.empty())
        return;
    lists_.AddFromDisk(path);
    RebuildList();
}

void CWndSubSelSong::Clear()
{
    CSkinTreeList* list = ListControl();
    if (!list || list->RowCount() == 0)
        return;
    if (ShowUserOptHite(this, QString::fromUtf8("您确定要清空歌曲列表吗？"), CWndUserOptHite::MODE_QUESTION) !=
        IDOK_RESULT)
        return;
    lists_.ClearSongs();
    list->clear();
}

void CWndSubSelSong::DeleteSelected()
{
    CSkinTreeList* list = ListControl();
    if (list && list->SelectedRow() >= 0 && lists_.Remove(size_t(list->SelectedRow())))
        RebuildList();
}

void CWndSubSelSong::MoveSelected(bool up)
{
    CSkinTreeList* list = ListControl();
    if (!list || list->SelectedRow() < 0)
        return;
    const size_t row = size_t(list->SelectedRow());
    if (!(up ? lists_.MoveUp(row) : lists_.MoveDown(row)))
        return;
    RebuildList();
    // The moved song stays selected.
    list->SelectRow(int(up ? row - 1 : row + 1));
}

void CWndSubSelSong::ChoosePlayMode()
{
    QWidget* button = GetControl(IDC_PLAY_MODE);
    const QPoint at = button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
    const int mode = ::ChoosePlayMode(this, Settings.LoopMode.Musiz, at);
    if (mode >= 0)
        Settings.LoopMode.Musiz = mode;
}

void CWndSubSelSong::PlayEntry(size_t index)
{
    const auto request = lists_.PlayEntry(index, Settings.SavePath.LyricPath);
    if (!request)
        return;
    // The player panel gets it through the main window.
    SendWindowMessage(window(), WM_KTV_PLAY_SONG, 0, 0, *request);
}

void CWndSubSelSong::OnSongEnded(bool failed)
{
    if (const auto next = lists_.NextSong(Settings.LoopMode.Musiz, [] { return std::rand(); }, failed))
        PlayEntry(*next);
}

void CWndSubSelSong::OnDownloadNotice(CWindowMessage& message)
{
    bool found = false;
    if (const auto* progress = std::any_cast<DownloadProgress>(&message.payload))
        found = lists_.ApplyDownloadNotice(message.Message(), progress->url, progress->done, progress->total);
    else if (const auto* url = std::any_cast<std::string>(&message.payload))
        found = lists_.ApplyDownloadNotice(message.Message(), *url);
    // The status shows each step at once; the timers still rebuild the list while downloads run.
    const CSkinTreeList* list = ListControl();
    if (found && list && size_t(list->RowCount()) == lists_.Songs().size())
        RefreshStatuses();
}

void CWndSubSelSong::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == downloadWatch_.timerId()) {
        OnDownloadWatch();
    } else if (event->timerId() == listRefresh_.timerId()) {
        const CSkinTreeList* list = ListControl();
        if (list && size_t(list->RowCount()) == lists_.Songs().size())
            RefreshStatuses();
        RebuildList();
    } else {
        CUIWnd::timerEvent(event);
    }
}

void CWndSubSelSong::OnDownloadWatch()
{
    if (songClient_.HasRunningDownloads() || lyricClient_.HasRunningDownloads()) {
        if (!listRefresh_.isActive())
            listRefresh_.start(kWatchMs, this);
    } else if (listRefresh_.isActive()) {
        listRefresh_.stop();
        RebuildList();
    }
}

void CWndSubSelSong::RebuildList()
{
    CSkinTreeList* list = ListControl();
    if (!list)
        return;
    const int selected = list->SelectedRow();
    const int scrolled = list->verticalScrollBar()->value();
    list->clear();
    for (const SongEntry& entry : lists_.Songs())
        list->AddRow({QString::fromStdString(entry.name), QString::fromStdString(CSongLists::StatusText(entry, true))});
    list->SelectRow(selected < list->RowCount() ? selected : -1);
    list->verticalScrollBar()->setValue(scrolled);
}

void CWndSubSelSong::RefreshStatuses()
{
    CSkinTreeList* list = ListControl();
    const auto& songs = lists_.Songs();
    for (int row = 0; list && row < list->RowCount() && size_t(row) < songs.size(); ++row)
        list->SetCellText(row, 1, QString::fromStdString(CSongLists::StatusText(songs[size_t(row)], false)));
}
