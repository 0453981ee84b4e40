#pragma once
// The KTV tab: the song catalogue above the song list. Messages for the song list (a song ended, the
// song folders changed) come here from the main window and go on to it.
#include "ui/UIWnd.h"

class CWndSubSongScr;
class CWndSubSelSong;

class CWndKTV : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndKTV(QWidget* parent);

    CWndSubSongScr* Catalogue() const { return catalogue_; }
    CWndSubSelSong* SongList() const { return songList_; }

protected:
    bool OnCreate() override;
    bool OnMessage(CWindowMessage& message) override;

private:
    CWndSubSongScr* catalogue_ = nullptr;
    CWndSubSelSong* songList_ = nullptr;
};
