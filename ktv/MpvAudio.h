#pragma once
// One audio-only libmpv player and the thread that drains its events. The audio output list ends in
// "null", so a machine without a sound device still plays in real time and reaches the end of a file.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

struct mpv_handle;

class CMpvAudio {
public:
    // Called on the event thread when the file loaded last ends by itself: at its end (`error` false)
    // or because it could not be played (`error` true).
    using EndHandler = std::function<void(bool error)>;

    explicit CMpvAudio(EndHandler onEnd = {});
    ~CMpvAudio();
    CMpvAudio(const CMpvAudio&) = delete;
    CMpvAudio& operator=(const CMpvAudio&) = delete;

    bool IsValid() const { return mpv_ != nullptr; }

    // Replaces whatever plays with `path` and starts it.
    bool Load(const std::string& path);
    void Stop();
    void SetPause(bool pause);
    // True from the moment the file of the last Load is open until it ends or is stopped.
    bool HasFile() const;
    // True from the last Load until that file ends or is stopped: it plays or is still being opened.
    bool HasStarted() const;

    bool GetDouble(const char* name, double& value) const;
    bool GetInt(const char* name, int64_t& value) const;
    std::string GetString(const char* name) const;
    bool SetDouble(const char* name, double value);
    bool SetInt(const char* name, int64_t value);
    bool SetString(const char* name, const std::string& value);

    int AudioTrackCount() const;

private:
    void EventLoop();

    mpv_handle* mpv_ = nullptr;
    EndHandler onEnd_;
    int64_t loads_ = 0;
    std::atomic<int64_t> currentEntry_{0};  // playlist entry of the last Load
    int64_t startingEntry_ = 0;             // event thread only
    std::atomic<int64_t> loadedEntry_{0};   // the entry that is open, 0 for none
    std::atomic<int64_t> endedEntry_{0};    // the newest entry that has ended
    std::atomic<bool> quit_{false};
    std::thread events_;
};
