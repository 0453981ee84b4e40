#include "ktv/panels/WndLeftPan.h"

#include "fileio/ProgramFolder.h"
#include "ktv/SongList.h"
#include "ktv/panels/TimeTexts.h"
#include "ktv/panels/VideoPlayer.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/PhotoSnapshot.h"
#include "record/panels/WndName.h"
#include "record/panels/WndRecordFinishHite.h"
#include "settings/LinkIni.h"
#include "ui/SkinResources.h"
#include "ui/SkinWebView.h"
#include "ui/WndUserOptHite.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSlider>
#include <QTimerEvent>

namespace {

enum {
    IDC_PREVIEW = 1117,
    IDC_PLAY = 1118,
    IDC_STOP = 1119,
    IDC_POSITION = 1120,
    IDC_VOLUME = 1121,
    IDC_STATUS = 1122,
    IDC_TIME = 1123,
    IDC_SCREAM = 1124,
    IDC_CHEERING = 1125,
    IDC_APPLAUSE = 1126,
    IDC_RECORD = 1127,
    IDC_PHOTO = 1128,
    IDC_AUDIO_TRACK = 1129,
    IDC_BALANCE = 1130,
    IDC_SCREEN = 1131,
    IDC_WEB = 1132,
    IDC_MUTE = 1134,
    IDC_SOURCE_TAB = 1136,
};
constexpr int kTimerMs = 500;

bool IsFile(const std::string& path)
{
    return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
}

// Whether a file can be made at `path`: its folder is created when missing, and a file that was not
// there before is not left behind.
bool CanWriteFile(const std::string& path)
{
    const QFileInfo info(QString::fromStdString(path));
    MakeFolder(info.absolutePath().toStdString());
    const bool existed = info.exists();
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    file.close();
    if (!existed)
        file.remove();
    return true;
}

}  // namespace

CWndLeftPan::CWndLeftPan(QWidget* parent) : CUIWnd(IDR_LEFT_PAN, parent)
{
}

CWndLeftPan::~CWndLeftPan()
{
    DestroyWindow();
}

bool CWndLeftPan::OnCreate()
{
    if (!CaptureSink)
        return false;
    soundFolder_ = ProgramFile("Sound");
    preview_ = new CVideoPlayer(this);
    preview_->setGeometry(ControlRect(IDC_PREVIEW));
    preview_->show();
    web_ = CreateSkinWebView(this, IDC_WEB, QString::fromStdString(ActiveIni.LeftBottomURL));
    CaptureSink->OpenSpeakerControls(this);
    CaptureSink->SetSongNotify(this);
    const int mute = CaptureSink->SpeakerMute();
    SetControlChecked(IDC_MUTE, mute == 1);
    if (QWidget* button = GetControl(IDC_MUTE))
        button->setEnabled(mute >= 0);
    ShowState(STATE_STOPPED);
    return true;
}

void CWndLeftPan::OnDestroy()
{
    songTimer_.stop();
    mediaTimer_.stop();
    if (CaptureSink) {
        // Nothing may reach this window once it is gone: the song's end, the movie's and the photo's news.
        CaptureSink->SetSongNotify(nullptr);
        CaptureSink->SetLeftPane(nullptr);
        CaptureSink->CloseSpeakerControls();
    }
}

void CWndLeftPan::OnCommand(int id)
{
    switch (id) {
    case IDC_PLAY:
        PlayPause();
        break;
    case IDC_STOP:
        Stop();
        break;
    case IDC_SCREAM:
        PlaySound("尖叫.wav");
        break;
    case IDC_CHEERING:
        PlaySound("起哄.wav");
        break;
    case IDC_APPLAUSE:
        PlaySound("掌声.wav");
        break;
    case IDC_AUDIO_TRACK:
        if (playing_ == PLAYING_SONG && songState_ != STATE_STOPPED)
            CaptureSink->ToggleAudioTrack();
        break;
    case IDC_BALANCE:
        if (playing_ == PLAYING_SONG && songState_ != STATE_STOPPED)
            CaptureSink->ToggleBalance();
        break;
    case IDC_MUTE:
        ToggleMute();
        break;
    case IDC_PHOTO:
        PhotoRequested = true;
        break;
    case IDC_RECORD:
        ToggleRecording();
        break;
    case IDC_SCREEN:
        // The screen-capture page is on the video-source tab.
        SendWindowMessage(window(), WM_SHOW_SOURCE_TAB);
        SendWindowMessage(window(), WM_SELECT_SCREEN_SOURCE);
        break;
    case IDC_SOURCE_TAB:
        SendWindowMessage(window(), WM_SHOW_SOURCE_TAB);
        break;
    }
}

void CWndLeftPan::OnNotify(const ControlNotify& notify)
{
    if (notify.code != NotifyCode::ValueChanged)
        return;
    const bool song = playing_ == PLAYING_SONG && songState_ == STATE_PLAYING;
    const bool media = playing_ == PLAYING_MEDIA && mediaState_ == STATE_PLAYING;
    if (notify.id == IDC_POSITION) {
        if (song)
            CaptureSink->SeekSong(notify.value / 100.0);
        else if (media)
            CaptureSink->SetMoviePos(notify.value / 100.0);
    } else if (notify.id == IDC_VOLUME) {
        if (song)
            CaptureSink->SetSongVolume(notify.value);
        else if (media)
            CaptureSink->SetSpeakerVolume(notify.value);
    }
}

bool CWndLeftPan::OnMessage(CWindowMessage& message)
{
    switch (message.Message()) {
    case WM_KTV_PLAY_SONG:
        if (const auto* request = std::any_cast<PlayRequest>(&message.payload))
            StartSong(request->songPath, request->lyricPath);
        return true;
    case WM_MEDIA_ENDED:
        // The end of a song that has since been replaced by another is old news.
        if (playing_ == PLAYING_SONG && CaptureSink->IsSongEnded())
            OnSongEnded(message.wParam != 0);
        return true;
    case WM_MOVIE_STARTED:
        OnMovieStarted();
        return true;
    case WM_MOVIE_STOPPED:
        OnMovieStopped(int(message.wParam));
        return true;
    case WM_MOVIE_PAUSED:
        OnMovieState(STATE_PAUSED);
        return true;
    case WM_MOVIE_PLAYING:
        OnMovieState(STATE_PLAYING);
        return true;
    case WM_PHOTO_TAKEN:
        if (const auto* path = std::any_cast<std::string>(&message.payload))
            ShowReport(*path);
        return true;
    }
    return false;
}

void CWndLeftPan::PlayPause()
{
    if (playing_ == PLAYING_MEDIA) {
        if (mediaState_ == STATE_PLAYING)
            CaptureSink->PauseMovie();
        else if (mediaState_ == STATE_PAUSED)
            CaptureSink->ResumeMovie();
        else if (IsFile(CurrentMediaPath))
            CaptureSink->PlayMovie(CurrentMediaPath);
    } else if (songState_ == STATE_PLAYING) {
        PauseSong();
    } else if (songState_ == STATE_PAUSED) {
        ResumeSong();
    } else if (IsFile(songPath_)) {
        StartSong(songPath_, lyricPath_);
    }
    // The click toggled the button; it shows the player's state, whatever that is now.
    const int state = playing_ == PLAYING_MEDIA ? mediaState_ : playing_ == PLAYING_SONG ? songState_ : STATE_STOPPED;
    SetControlChecked(IDC_PLAY, state == STATE_PLAYING);
}

void CWndLeftPan::Stop()
{
    if (playing_ == PLAYING_MEDIA && mediaState_ != STATE_STOPPED)
        CaptureSink->StopMovie(0);
    else if (playing_ == PLAYING_SONG && songState_ != STATE_STOPPED)
        StopSong();
}

void CWndLeftPan::StartSong(const std::string& songPath, const std::string& lyricPath)
{
    songPath_ = songPath;
    lyricPath_ = lyricPath;
    playing_ = PLAYING_SONG;
    CaptureSink->PlaySong(songPath, lyricPath);
    // Also after a pause: the new song's time runs from its start.
    songTimer_.start(kTimerMs, this);
    songState_ = STATE_PLAYING;
    ShowState(STATE_PLAYING);
}

void CWndLeftPan::PauseSong()
{
    songState_ = STATE_PAUSED;
    songTimer_.stop();
    ShowState(STATE_PAUSED);
    CaptureSink->PauseSong();
}

void CWndLeftPan::ResumeSong()
{
    songState_ = STATE_PLAYING;
    ShowState(STATE_PLAYING);
    CaptureSink->ResumeSong();
    songTimer_.start(kTimerMs, this);
}

void CWndLeftPan::StopSong()
{
    songState_ = STATE_STOPPED;
    ShowState(STATE_STOPPED);
    CaptureSink->StopSong();
    songTimer_.stop();
}

void CWndLeftPan::OnSongEnded(bool unplayable)
{
    playing_ = PLAYING_NOTHING;
    songState_ = STATE_STOPPED;
    songTimer_.stop();
    ShowState(STATE_STOPPED, unplayable ? QString::fromUtf8("无法播放该歌曲") : QString());
    // The song list picks the next song; the main window passes it on.
    SendWindowMessage(window(), WM_KTV_SONG_ENDED, unplayable ? 1 : 0);
}

void CWndLeftPan::OnMovieStarted()
{
    // The pane serves one player at a time: the song gives way to the media file.
    if (playing_ == PLAYING_SONG && songState_ != STATE_STOPPED)
        StopSong();
    playing_ = PLAYING_MEDIA;
    OnMovieState(STATE_PLAYING);
}

void CWndLeftPan::OnMovieStopped(int reason)
{
    if (playing_ != PLAYING_MEDIA)
        return;
    mediaState_ = STATE_STOPPED;
    mediaTimer_.stop();
    // Reason 1: another source took over; the pane no longer plays media. Reason 0: the file can be
    // played again from here.
    if (reason == 1)
        playing_ = PLAYING_NOTHING;
    ShowState(STATE_STOPPED);
}

void CWndLeftPan::OnMovieState(int state)
{
    if (playing_ != PLAYING_MEDIA)
        return;
    mediaState_ = state;
    if (state == STATE_PLAYING)
        mediaTimer_.start(kTimerMs, this);
    else
        mediaTimer_.stop();
    ShowState(state);
}

void CWndLeftPan::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == songTimer_.timerId())
        OnSongTimer();
    else if (event->timerId() == mediaTimer_.timerId())
        OnMediaTimer();
    else
        CUIWnd::timerEvent(event);
}

void CWndLeftPan::OnSongTimer()
{
    if (playing_ != PLAYING_SONG)
        return;
    const double duration = CaptureSink->SongDuration();
    const double position = CaptureSink->SongPosition();
    SetPosition(duration > 0 ? int(position / duration * 100) : 0);
    SetText(IDC_TIME, SongTimeText(position, duration));
}

void CWndLeftPan::OnMediaTimer()
{
    if (playing_ != PLAYING_MEDIA)
        return;
    const double position = CaptureSink->GetMoviePos();
    if (position <= -1) {
        mediaState_ = STATE_STOPPED;
        mediaTimer_.stop();
        ShowState(STATE_STOPPED);
        // The media list plays the next file; the main window passes it on.
        SendWindowMessage(window(), WM_MEDIA_LIST_ENDED);
        return;
    }
    SetPosition(int(position * 100));
    SetText(IDC_TIME, MediaTimeText(CaptureSink->GetMovieAllTime(), CaptureSink->GetMovieCurrentTime()));
}

void CWndLeftPan::SetPosition(int percent)
{
    // The user's hand on the slider wins over the player's position.
    auto* slider = Control<QSlider>(IDC_POSITION);
    if (slider && !slider->isSliderDown())
        slider->setValue(std::clamp(percent, 0, 100));
}

void CWndLeftPan::ShowState(int state, const QString& status)
{
    const bool stopped = state == STATE_STOPPED;
    const bool song = playing_ == PLAYING_SONG;
    SetControlChecked(IDC_PLAY, state == STATE_PLAYING);
    static const char* const kTexts[] = {"正在播放", "播放暂停", "", "播放停止"};
    SetText(IDC_STATUS, status.isEmpty() ? QString::fromUtf8(kTexts[state]) : status);
    for (int id : {IDC_STOP, IDC_POSITION})
        if (QWidget* control = GetControl(id))
            control->setEnabled(!stopped);
    for (int id : {IDC_AUDIO_TRACK, IDC_BALANCE})
        if (QWidget* control = GetControl(id))
            control->setEnabled(song && !stopped);
    if (!stopped)
        return;
    SetPosition(0);
    SetText(IDC_TIME, playing_ == PLAYING_MEDIA ? MediaTimeText(0, 0) : SongTimeText(0, 0));
}

void CWndLeftPan::SetText(int id, const QString& text)
{
    if (auto* label = Control<QLabel>(id))
        label->setText(text);
}

void CWndLeftPan::PlaySound(const char* name)
{
    CaptureSink->PlaySoundFile(soundFolder_ + "/" + name);
}

void CWndLeftPan::ToggleMute()
{
    CaptureSink->SetSpeakerMute(IsControlChecked(IDC_MUTE));
    // The button shows what the mixer says.
    SetControlChecked(IDC_MUTE, CaptureSink->SpeakerMute() == 1);
}

void CWndLeftPan::ToggleRecording()
{
    auto* button = Control<QAbstractButton>(IDC_RECORD);
    if (preview_->IsRecording()) {
        preview_->StopRecording();
        if (button)
            button->setText(QString::fromUtf8("录像"));
        ShowReport(recordingPath_);
        return;
    }
    // Left without a name, the dialog records nothing.
    CWndName name(this);
    if (name.DoModal() != IDOK_RESULT || name.Path().empty())
        return;
    if (!CanWriteFile(name.Path())) {
        ShowUserOptHite(this,
                        QString::fromUtf8("录像文件无法保存到录像文件夹，请在系统设置中选择其他文件夹：\n%1")
                            .arg(QFileInfo(QString::fromStdString(name.Path())).absolutePath()),
                        CWndUserOptHite::MODE_NOTICE);
        return;
    }
    recordingPath_ = name.Path();
    preview_->StartRecording(recordingPath_);
    if (button)
        button->setText(QString::fromUtf8("停止录像"));
}

void CWndLeftPan::ShowReport(const std::string& path)
{
    CWndRecordFinishHite report(path, this);
    report.DoModal();
}
