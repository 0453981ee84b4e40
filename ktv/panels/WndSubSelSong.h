#pragma once
// The chosen songs: the list of songs with their download state, the two download clients (songs into
// SongPath, lyric files into LyricPath), adding from disk, deleting, clearing, moving, the play mode,
// playing a song by double click and the next song when one has ended.
#include "ktv/SongList.h"
#include "net/DownFileClient.h"
#include "ui/UIWnd.h"

#include <QBasicTimer>

class CSkinTreeList;

class CWndSubSelSong : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSubSelSong(QWidget* parent);
    ~CWndSubSelSong() override;

    const CSongLists& Lists() const { return lists_; }
    CSkinTreeList* ListControl() const;
    const CDownFileClient& SongClient() const { return songClient_; }
    const CDownFileClient& LyricClient() const { return lyricClient_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;
    bool OnMessage(CWindowMessage& message) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Empty song and lyric folders become DownLoad/Songs and DownLoad/Lyrics of the program folder, and
    // so do missing ones at creation; a missing folder the user has just chosen (`keepChoice`) is made
    // instead, unless it cannot be. The folders are created when missing and handed to the clients.
    void ApplyFolders(bool keepChoice);
    void AddFromCatalogue(const CatalogueLink& link);
    void AddFromDisk();
    void Clear();
    void DeleteSelected();
    void MoveSelected(bool up);
    void ChoosePlayMode();
    void PlayEntry(size_t index);
    void OnSongEnded(bool failed);
    void OnDownloadNotice(CWindowMessage& message);
    void OnDownloadWatch();
    // Every row again, the statuses as a rebuilt list shows them; the selection stays.
    void RebuildList();
    // Only the status column.
    void RefreshStatuses();

    CSongLists lists_;
    CDownFileClient songClient_;
    CDownFileClient lyricClient_;
    QBasicTimer downloadWatch_;  // timer 88: are downloads running?
    QBasicTimer listRefresh_;    // timer 99: the list while they run
};
