#pragma once
// The hidden song player of the KTV corner, on libmpv (audio only). One player per process: the
// settings record's PlayerCreated counts it.
#include "ktv/MediaClock.h"
#include "ktv/MpvAudio.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class QObject;

class CWMMedia : public IMediaClock {
public:
    CWMMedia() = default;
    ~CWMMedia() override;
    CWMMedia(const CWMMedia&) = delete;
    CWMMedia& operator=(const CWMMedia&) = delete;

    // Creates the player once; false when one already exists in the process.
    bool CreateControl();
    bool HasControl() const { return player_ != nullptr; }

    // Starts playing `path`. An empty path, or no player, ends the song at once as unplayable and
    // returns false.
    bool Open(const std::string& path);
    void Play();
    void Pause();
    void Stop();

    // Reads position and duration while a file is open and returns position / duration (0 otherwise,
    // keeping the last values). Past 0.997 of the song it counts as ended.
    double Refresh();
    double Position() override;
    double Duration();
    bool IsEnded() const override { return ended_; }
    bool IsPaused() const { return paused_; }

    // Goes to `fraction` of the song: above 1 is the end, 0 or below is 0.01.
    void Seek(double fraction);
    // Switches between the first two audio tracks when the song has two or more.
    void ToggleAudioTrack();
    // 100 -> -100, -100 -> 100, anything else -> -100.
    void ToggleBalance();
    int Balance() const { return balance_; }
    void SetVolume(int volume);

    // Receives WM_MEDIA_ENDED when a song ends, with wParam 1 when it could not be played; null for
    // none. Once cleared, nothing more is posted to the previous window.
    void SetNotifyWindow(QObject* notify);

    // The player underneath, for reading its state; null before CreateControl.
    const CMpvAudio* Mpv() const { return player_.get(); }

private:
    void OnEnd(bool error);
    void ApplyBalance();

    std::unique_ptr<CMpvAudio> player_;
    std::string url_;
    mutable std::mutex timesLock_;
    double position_ = 0, duration_ = 0, ratio_ = 0;
    std::atomic<bool> ended_{false};
    std::atomic<bool> paused_{false};
    int balance_ = 0;
    std::mutex notifyLock_;  // the notify window may go while the player's thread posts
    QObject* notify_ = nullptr;
};
