#pragma once
// The catalogue's browser: before each navigation it reads the address as a catalogue link
// ("...#6403MTV;song URL;lyric URL;name;singer;rest") and, when it is one, asks the song list to add
// the song (WM_KTV_ADD_SONG with a CatalogueLink). The navigation itself goes on.
#include <QPointer>
#include <QString>

class CUIWnd;
class QObject;
class QUrl;
class QWebEngineView;

class CHtmlCtrlEx {
public:
    // The browser in the web control `id` of `window`, showing `url`; null for an empty address.
    QWebEngineView* Create(CUIWnd* window, int id, const QString& url);
    QWebEngineView* View() const { return view_; }

    // The window that receives the songs of catalogue links; none until set.
    void SetSongList(QObject* songList) { songList_ = songList; }

    // Asked before each navigation the page makes; true lets it happen. Only addresses the browser
    // shows itself go on: a link of another scheme would be handed to a desktop program.
    bool BeforeNavigate(const QUrl& url);

private:
    QPointer<QObject> songList_;
    QWebEngineView* view_ = nullptr;
};
