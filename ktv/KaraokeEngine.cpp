#include "ktv/KaraokeEngine.h"

#include "diag/ThreadSignalStack.h"
#include "settings/Settings.h"
#include "settings/SharedValue.h"

#include <QGuiApplication>
#include <QLoggingCategory>

#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcKaraoke, "korvel.ktv.karaoke", QtWarningMsg)

const QString kTheEnd = QStringLiteral("THE END!");

// Whole milliseconds of a position in seconds, as the unsigned clock of the lyric timeline.
uint32_t PositionMs(double seconds)
{
    const double ms = seconds * 1000.0;
    if (!(ms >= 0) || ms >= 4294967296.0)
        return 0;
    return uint32_t(ms);
}

}  // namespace

CKaraokeEngine::CKaraokeEngine() = default;

CKaraokeEngine::~CKaraokeEngine()
{
    StopLyricThread();
    sound_.Close();
}

bool CKaraokeEngine::LyricRunning()
{
    return LoadShared(Settings.LyricRunning) != 0;
}

void CKaraokeEngine::SetLyricRunning(bool running)
{
    StoreShared(Settings.LyricRunning, running ? 1 : 0);
}

void CKaraokeEngine::StopLyricThread()
{
    if (!lyricThread_.joinable())
        return;
    SetLyricRunning(false);
    {
        std::lock_guard lock(stopLock_);
        stopRequested_ = true;
    }
    stopSignal_.notify_all();
    lyricThread_.join();
}

bool CKaraokeEngine::SetSong(const std::string& songPath, const std::string& lyricPath)
{
    StopLyricThread();
    rows_.clear();
    reader_.Close();
    songPath_ = songPath;
    lyricPath_ = lyricPath;
    active_ = !songPath.empty() && !lyricPath.empty();
    return !songPath.empty() || !lyricPath.empty();
}

void CKaraokeEngine::LoadLyrics()
{
    // The rows belong to the lyric thread while it runs.
    StopLyricThread();
    uint32_t offset = timeOffset_;
    rows_.clear();
    LoadLyricFile(reader_, lyricPath_, rows_, offset);
    timeOffset_ = offset;
    SetLyricRunning(true);
    sungFraction_ = 0;
}

void CKaraokeEngine::Start()
{
    StopLyricThread();
    {
        std::lock_guard lock(stopLock_);
        stopRequested_ = false;
    }
    // The player is ready before the thread that reads it runs.
    if (!player_.HasControl())
        player_.CreateControl();
    player_.Open(songPath_);
    threadFinished_ = false;
    lyricThread_ = std::thread([this] {
        UseOwnSignalStack();
        LyricThread();
    });
    ++threadCount_;
    qCDebug(lcKaraoke, "a new thread start.");
    qCDebug(lcKaraoke, "mStrThreadNum = %d", threadCount_);
}

void CKaraokeEngine::PlaySong(const std::string& songPath, const std::string& lyricPath)
{
    SetSong(songPath, lyricPath);
    LoadLyrics();
    Start();
}

bool CKaraokeEngine::WaitUnlessStopped(uint32_t ms)
{
    std::unique_lock lock(stopLock_);
    return !stopSignal_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopRequested_; });
}

void CKaraokeEngine::LyricThread()
{
    qCDebug(lcKaraoke, "ThreadProcMediaLyric start");
    if (WaitUnlessStopped(timeOffset_) && LyricRunning()) {
        do {
            PollLyric();
            if (!WaitUnlessStopped(kPollMs))
                break;
        } while (LyricRunning());
    }
    qCDebug(lcKaraoke, "ThreadProcMediaLyric end.");
    threadFinished_ = true;
}

void CKaraokeEngine::PollLyric()
{
    const uint32_t rel = PositionMs(clock_->Position()) - timeOffset_;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const LyricRow& row = rows_[i];
        if (!(row.start <= rel && rel < row.end))
            continue;
        sungFraction_ = double(rel - row.start) / double(row.duration);
        const QString& next = i + 1 < rows_.size() ? rows_[i + 1].text : kTheEnd;
        std::lock_guard lock(linesLock_);
        upper_.text = row.text;
        if (upper_.text == lower_.text) {
            selector_ = 2;
            upper_.text = next;
        } else {
            selector_ = 1;
            lower_.text = next;
        }
    }
    if (clock_->IsEnded()) {
        SetLyricRunning(false);
        qCDebug(lcKaraoke, "a new thread will end.");
        qCDebug(lcKaraoke, "mStrThreadNum = %d", threadCount_);
    }
}

void CKaraokeEngine::DrawInto(uint8_t* frame)
{
    // Text drawing needs the GUI application; without one there is nothing to draw with.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    std::lock_guard draw(drawLock_);
    qCDebug(lcKaraoke, "CreateBMPData start");
    int origin = 10, width = 0;
    const int selector = selector_;
    {
        std::lock_guard lock(linesLock_);
        if (upper_.text.isEmpty() || lower_.text.isEmpty())
            return;
        if (!painter_)
            painter_ = std::make_unique<CLyricPainter>();
        painter_->Render(upper_, true);
        painter_->Render(lower_, false);
        if (selector == 2)
            origin = 310 - lower_.width;
        width = selector == 1 ? upper_.width : selector == 2 ? lower_.width : 0;
    }
    qCDebug(lcKaraoke, "CreateBMPData end");
    const int sung = int(width * sungFraction_);
    if (sung == 0 || paused_)
        return;
    qCDebug(lcKaraoke, "merage start");
    MergeLyricBands(frame, upper_.pixels, lower_.pixels, selector, origin, sung);
    qCDebug(lcKaraoke, "merage end");
}

void CKaraokeEngine::Pause()
{
    player_.Pause();
    paused_ = true;
}

void CKaraokeEngine::Resume()
{
    player_.Play();
    paused_ = false;
}

void CKaraokeEngine::Stop()
{
    StopLyricThread();
    player_.Stop();
}

void CKaraokeEngine::Seek(double fraction)
{
    player_.Seek(fraction);
}

bool CKaraokeEngine::IsEnded() const
{
    return player_.IsEnded();
}

double CKaraokeEngine::Position() const
{
    return player_.Position();
}

double CKaraokeEngine::Duration() const
{
    return player_.Duration();
}

void CKaraokeEngine::PlaySound(const std::string& path)
{
    sound_.Play(path);
}

void CKaraokeEngine::ToggleAudioTrack()
{
    player_.ToggleAudioTrack();
}

void CKaraokeEngine::ToggleBalance()
{
    player_.ToggleBalance();
}

void CKaraokeEngine::SetVolume(int volume)
{
    player_.SetVolume(volume);
}

QString CKaraokeEngine::UpperText() const
{
    std::lock_guard lock(linesLock_);
    return upper_.text;
}

QString CKaraokeEngine::LowerText() const
{
    std::lock_guard lock(linesLock_);
    return lower_.text;
}
