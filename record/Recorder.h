#pragma once
// A recording of frames and microphone sound into a WMV file. Producers push frames from any thread;
// a writer thread hands at most one frame per 75 ms to the file; Start, Stop, Pause and Resume run on
// the user-interface thread, where the microphone's blocks arrive too.
#include "record/PrepareAudioData.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct QueuedFrame {
    size_t length = 0;  // bytes of pixel data
    size_t offset = 0;  // read offset into the data
    size_t capacity = 0;
    bool owned = true;
    std::unique_ptr<uint8_t[]> data;
    int width = 0;
    int height = 0;
};

// When producers outrun the writer the oldest frames are dropped, so that the queue never holds more
// than `frames` frames nor more than `bytes` bytes of pixels.
struct RecorderQueueLimits {
    int frames = 10000;
    size_t bytes = size_t(256) << 20;  // about 1100 frames of 320×240, 85 s of backlog at 13 frames/s
};

class CRecorder {
public:
    explicit CRecorder(std::unique_ptr<IWaveInDevice> microphone = MakeAlsaWaveIn(),
                       RecorderQueueLimits limits = {}, FileTimeClock clock = SystemFileTime);
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    // Copies width × height × 3 bytes of 24-bit pixels into the queue; returns the new count.
    int PushFrame(const uint8_t* pixels, int width, int height);
    void Start(const std::string& path);
    void Stop();
    void Pause();
    void Resume();

    int QueuedFrames() const;
    // True when every pushed frame has been handed to the file (none queued, none being written).
    bool AllFramesWritten() const;
    int DroppedFrames() const { return dropped_; }

private:
    void WriterLoop();
    void EmptyQueue();

    // The frame queue.
    const RecorderQueueLimits limits_;
    int count_ = 0;
    size_t queuedBytes_ = 0;
    bool writing_ = false;  // the writer thread holds a frame it has taken from the queue
    mutable std::mutex queueLock_;
    std::deque<QueuedFrame> queue_;
    std::atomic<int> dropped_{0};

    CPrepareAudioData audio_;

    // The writer thread.
    std::thread thread_;
    bool started_ = false;
    std::atomic<bool> running_{false};
    std::mutex threadLock_;  // guards started_ and running_ changes, and the pacing wait
    std::condition_variable wake_;
};
