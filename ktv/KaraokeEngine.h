#pragma once
// The song being sung: its paths and lyric rows, the song player, the sound-effect player and the lyric
// thread that follows the player's position and keeps the two display lines current. The effects chain
// asks IsActive() on every frame and then lets DrawInto() put the lines into the bottom 40 rows.
#include "ktv/LyricBand.h"
#include "ktv/LyricFile.h"
#include "ktv/MediaClock.h"
#include "ktv/SoundEffect.h"
#include "ktv/WMMedia.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CKaraokeEngine {
public:
    static constexpr uint32_t kDefaultTimeOffset = 5000;  // ms
    static constexpr int kPollMs = 75;

    CKaraokeEngine();
    ~CKaraokeEngine();
    CKaraokeEngine(const CKaraokeEngine&) = delete;
    CKaraokeEngine& operator=(const CKaraokeEngine&) = delete;

    // Stops the lyric thread, drops the rows and stores both paths; true when either is non-empty.
    bool SetSong(const std::string& songPath, const std::string& lyricPath);
    // Parses the lyric file and arms the lyric thread.
    void LoadLyrics();
    // Starts the lyric thread and the song.
    void Start();
    // SetSong, LoadLyrics, Start.
    void PlaySong(const std::string& songPath, const std::string& lyricPath);

    // Both paths are set: the chain draws the lyric lines.
    bool IsActive() const { return active_; }
    // Draws the two lyric lines into the bottom 40 rows of a 320x240 bottom-up BGR frame.
    void DrawInto(uint8_t* frame);

    void Pause();
    void Resume();
    // Ends the lyric thread (at once, also from its first wait) and stops the song.
    void Stop();
    void Seek(double fraction);
    bool IsEnded() const;
    double Position() const;
    double Duration() const;

    void PlaySound(const std::string& path);
    void ToggleAudioTrack();
    void ToggleBalance();
    void SetVolume(int volume);

    CWMMedia& Player() { return player_; }
    const CSoundEffect& SoundEffect() const { return sound_; }

    // Seams: the lyric thread's position source (the player unless set), and one pass of the lyric
    // thread's loop.
    void SetClock(IMediaClock* clock) { clock_ = clock ? clock : &player_; }
    void PollLyric();

    // For the frame thread and tests.
    const std::vector<LyricRow>& Rows() const { return rows_; }
    uint32_t TimeOffset() const { return timeOffset_; }
    double SungFraction() const { return sungFraction_; }
    int Selector() const { return selector_; }
    bool IsPaused() const { return paused_; }
    QString UpperText() const;
    QString LowerText() const;
    int ThreadCount() const { return threadCount_; }
    bool IsThreadFinished() const { return threadFinished_; }

private:
    void StopLyricThread();
    void LyricThread();
    // Waits `ms` unless the thread is told to stop; false when it was.
    bool WaitUnlessStopped(uint32_t ms);
    static bool LyricRunning();
    static void SetLyricRunning(bool running);

    std::vector<LyricRow> rows_;
    CLyricReader reader_;
    std::string lyricPath_, songPath_;
    std::atomic<bool> active_{false};
    std::atomic<double> sungFraction_{0};
    std::atomic<uint32_t> timeOffset_{kDefaultTimeOffset};
    std::atomic<bool> paused_{false};

    mutable CWMMedia player_;
    IMediaClock* clock_ = &player_;
    CSoundEffect sound_;

    std::thread lyricThread_;
    std::atomic<bool> threadFinished_{false};
    std::mutex stopLock_;
    std::condition_variable stopSignal_;
    bool stopRequested_ = false;

    mutable std::mutex linesLock_;  // the two line texts and their pixels
    DisplayLine upper_, lower_;
    std::atomic<int> selector_{0};
    std::mutex drawLock_;  // one frame thread at a time
    std::unique_ptr<CLyricPainter> painter_;
    int threadCount_ = 0;
};
