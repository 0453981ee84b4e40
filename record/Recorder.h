#pragma once
// A recording of frames and microphone sound into a WMV file. Producers push frames from any thread,
// each stamped with the time it was pushed; a writer thread hands one frame to the file on every 75 ms
// deadline; Start, Stop, Pause and Resume run on the user-interface thread, where the microphone's
// blocks arrive too.
#include "record/PrepareAudioData.h"
#include "record/RecorderPacing.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// A pushed frame: the entry owns its copy of the pixels.
struct QueuedFrame {
    size_t length = 0;  // bytes of pixel data
    std::unique_ptr<uint8_t[]> data;
    int width = 0;
    int height = 0;
    int64_t pushedAt = 0;  // on the recording's clock
};

// When producers outrun the writer the oldest frames are dropped, so that the queue never holds more
// than `frames` frames nor more than `bytes` bytes of pixels.
struct RecorderQueueLimits {
    int frames = 14;                  // a second at the writer's pace
    size_t bytes = size_t(16) << 20;  // frames larger than ours
};

class CRecorder {
public:
    explicit CRecorder(std::unique_ptr<IWaveInDevice> microphone = MakeAlsaWaveIn(),
                       RecorderQueueLimits limits = {}, FileTimeClock clock = SystemFileTime,
                       std::unique_ptr<IRecorderPacing> pacing = MakeSteadyPacing());
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    // Copies width × height × 3 bytes of 24-bit pixels into the queue; returns the new count. Rows are
    // bottom-up, as in the frame buffer.
    int PushFrame(const uint8_t* pixels, int width, int height);
    void Start(const std::string& path);
    void Stop();
    void Pause();
    void Resume();

    int QueuedFrames() const;
    // Frames that never reach the file: pushed out of a full queue, or taken for a frame slot that
    // already had one.
    int DroppedFrames() const { return dropped_; }
    // Frames the writer thread has taken from the queue (paused and dropped ones included) since
    // construction.
    int TakenFrames() const { return taken_; }
    // Sound the microphone lost to overruns (made up with silence); read on the user-interface thread.
    int SoundOverruns() const { return audio_.Overruns(); }
    // Sound blocks received from the microphone; read on the user-interface thread.
    int ReceivedSoundBlocks() const { return audio_.ReceivedBlocks(); }

private:
    void WriterLoop();
    void WriteNextFrame();
    bool TakeOldest(QueuedFrame& frame);
    void EmptyQueue();

    // The frame queue.
    const RecorderQueueLimits limits_;
    const FileTimeClock clock_;
    int count_ = 0;
    size_t queuedBytes_ = 0;
    mutable std::mutex queueLock_;
    std::deque<QueuedFrame> queue_;
    std::atomic<int> dropped_{0};
    std::atomic<int> taken_{0};

    CPrepareAudioData audio_;
    bool recording_ = false;  // between Start and Stop; the user-interface thread's own

    // The writer thread.
    std::unique_ptr<IRecorderPacing> pacing_;
    std::thread thread_;
};
