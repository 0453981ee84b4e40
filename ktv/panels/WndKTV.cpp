#include "ktv/panels/WndKTV.h"

#include "ktv/panels/WndSubSelSong.h"
#include "ktv/panels/WndSubSongScr.h"
#include "ui/SkinResources.h"

namespace {

enum { IDC_CATALOGUE_AREA = 4301, IDC_SONG_LIST_AREA = 4302 };

}  // namespace

CWndKTV::CWndKTV(QWidget* parent) : CUIWnd(IDR_KTV, parent)
{
}

bool CWndKTV::OnCreate()
{
    songList_ = CreateChildPanel<CWndSubSelSong>(IDC_SONG_LIST_AREA, true);
    catalogue_ = CreateChildPanel<CWndSubSongScr>(IDC_CATALOGUE_AREA, true);
    if (!songList_ || !catalogue_)
        return false;
    catalogue_->Browser().SetSongList(songList_);
    return true;
}

bool CWndKTV::OnMessage(CWindowMessage& message)
{
    switch (message.Message()) {
    case WM_KTV_SONG_ENDED:
    case WM_KTV_RELOAD_SONGS:
        return SendWindowMessage(songList_, message.Message(), message.wParam, message.lParam, message.payload);
    }
    return false;
}
