#pragma once
// The left pane: the output preview, the player of the song being sung and of the media-file source
// (play/pause, stop, position and volume, status and time), the sound effects, audio track and balance,
// the speakers' mute, photo and recording, and the buttons that lead to the video-source tab.
#include "ui/UIWnd.h"

#include <QBasicTimer>

#include <string>

class CVideoPlayer;
class QWebEngineView;

class CWndLeftPan : public CUIWnd {
    Q_OBJECT
public:
    enum Playing { PLAYING_NOTHING = 0, PLAYING_MEDIA = 1, PLAYING_SONG = 2 };
    enum PlayState { STATE_PLAYING = 0, STATE_PAUSED = 1, STATE_STOPPED = 3 };

    explicit CWndLeftPan(QWidget* parent);
    ~CWndLeftPan() override;

    int WhatPlays() const { return playing_; }
    int SongState() const { return songState_; }
    int MediaState() const { return mediaState_; }
    CVideoPlayer* Preview() const { return preview_; }
    // The file of the recording that runs or ran last.
    const std::string& RecordingPath() const { return recordingPath_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;
    bool OnMessage(CWindowMessage& message) override;
    void OnDestroy() override;
    void timerEvent(QTimerEvent* event) override;

private:
    void PlayPause();
    void Stop();
    void StartSong(const std::string& songPath, const std::string& lyricPath);
    void PauseSong();
    void ResumeSong();
    void StopSong();
    void OnSongEnded(bool unplayable);
    void OnMovieStarted();
    void OnMovieStopped(int reason);
    void OnMovieState(int state);
    void OnSongTimer();
    void OnMediaTimer();
    // Play button, status and the controls of the player as `state` shows them, for what plays now;
    // a stopped player also has its position and time back at zero. `status` replaces the usual text.
    void ShowState(int state, const QString& status = {});
    void SetPosition(int percent);
    void SetText(int id, const QString& text);
    void ToggleRecording();
    void ToggleMute();
    void PlaySound(const char* name);
    void ShowReport(const std::string& path);

    int playing_ = PLAYING_NOTHING;
    int songState_ = STATE_STOPPED;
    int mediaState_ = STATE_STOPPED;
    std::string songPath_, lyricPath_;
    std::string soundFolder_;
    std::string recordingPath_;
    QBasicTimer songTimer_;   // timer 655
    QBasicTimer mediaTimer_;  // timer 666
    CVideoPlayer* preview_ = nullptr;
    QWebEngineView* web_ = nullptr;
};
