#pragma once
// Numbered window messages, delivered as Qt events whose type is QEvent::User + the message number.
// A message carries the two classic parameters and, where it hands over data, an owned payload.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <any>
#include <cstdint>
#include <utility>

enum WindowMessage : int {
    WM_TRAY_NOTIFY = 1046,          // tray icon -> main window
    WM_CLOSE_LOADING = 1355,        // application -> loading window
    WM_SHOW_PICTURE_FILE = 0x54C,   // picture browser -> source panel; payload: the full path
    WM_SHOW_EFFECTS = 1367,         // main window -> effects panel
    WM_SWITCH_TO_EFFECTS = 1368,    // effects panels -> main window
    WM_KTV_ADD_SONG = 0x49A,        // catalogue web view -> song list; payload: five strings
    WM_DOWNLOAD_STARTED = 0x49B,    // download client -> its window; payload: the URL
    WM_DOWNLOAD_PROGRESS = 0x49C,   // payload: URL, bytes done, bytes total
    WM_DOWNLOAD_DONE = 0x49D,       // payload: the URL
    WM_DOWNLOAD_FAILED = 0x49E,     // payload: the URL
    WM_KTV_PLAY_SONG = 0x54F,       // song list -> left panel; payload: song path, lyric path
    WM_MEDIA_ENDED = 0x553,         // media player host -> its notify object
    WM_KTV_SONG_ENDED = 0x554,      // left panel -> song list
    WM_MOVIE_STARTED = 0x5B3,       // frame sink -> left pane
    WM_MOVIE_STOPPED = 0x5B4,       // wParam: the stop reason
    WM_MOVIE_PAUSED = 0x5B5,
    WM_MOVIE_PLAYING = 0x5B6,
    WM_MEDIA_LIST_ENDED = 0x5B8,    // left panel -> media-file list
    WM_PHOTO_TAKEN = 0x5BA,         // frame sink -> left pane
    WM_SELECT_SCREEN_SOURCE = 0x5BB,
    WM_KTV_RELOAD_SONGS = 0x5C0,    // main window -> KTV panel: the song folders may have changed
    WM_SHOW_SOURCE_TAB = 0x5C1,     // left pane -> main window: its video-source button was pressed
};

class CWindowMessage : public QEvent {
public:
    CWindowMessage(int message, uintptr_t wParam = 0, intptr_t lParam = 0, std::any payload = {})
        : QEvent(EventType(message)), wParam(wParam), lParam(lParam), payload(std::move(payload))
    {
    }

    static QEvent::Type EventType(int message) { return QEvent::Type(QEvent::User + message); }
    int Message() const { return int(type()) - int(QEvent::User); }

    uintptr_t wParam;
    intptr_t lParam;
    std::any payload;
};

// Queued for the target's thread; the target owns nothing until it is delivered, and Qt deletes the
// event (and its payload) whether or not it is.
inline void PostWindowMessage(QObject* target, int message, uintptr_t wParam = 0, intptr_t lParam = 0,
                              std::any payload = {})
{
    if (target)
        QCoreApplication::postEvent(target, new CWindowMessage(message, wParam, lParam, std::move(payload)));
}

// Delivered at once on the calling thread; returns whether the target accepted it.
inline bool SendWindowMessage(QObject* target, int message, uintptr_t wParam = 0, intptr_t lParam = 0,
                              std::any payload = {})
{
    if (!target)
        return false;
    CWindowMessage event(message, wParam, lParam, std::move(payload));
    return QCoreApplication::sendEvent(target, &event);
}
