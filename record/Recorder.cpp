#include "record/Recorder.h"

#include <chrono>
#include <cstring>
#include <new>

namespace {

constexpr auto kWritePeriod = std::chrono::milliseconds(75);
constexpr int kMaxSide = 8192;  // larger frames are no frames of ours

}  // namespace

CRecorder::CRecorder(std::unique_ptr<IWaveInDevice> microphone, RecorderQueueLimits limits,
                     FileTimeClock clock)
    : limits_(limits), audio_(std::move(microphone), std::move(clock))
{
}

CRecorder::~CRecorder()
{
    Stop();
}

int CRecorder::PushFrame(const uint8_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return QueuedFrames();
    QueuedFrame frame;
    frame.length = frame.capacity = size_t(width) * size_t(height) * 3;
    frame.data.reset(new (std::nothrow) uint8_t[frame.length]);
    if (!frame.data)
        return QueuedFrames();
    std::memcpy(frame.data.get(), pixels, frame.length);
    frame.width = width;
    frame.height = height;

    std::lock_guard<std::mutex> hold(queueLock_);
    queuedBytes_ += frame.length;
    queue_.push_back(std::move(frame));
    ++count_;
    while (count_ > 1 && (count_ > limits_.frames || queuedBytes_ > limits_.bytes)) {
        queuedBytes_ -= queue_.front().length;
        queue_.pop_front();
        --count_;
        ++dropped_;
    }
    return count_;
}

int CRecorder::QueuedFrames() const
{
    std::lock_guard<std::mutex> hold(queueLock_);
    return count_;
}

bool CRecorder::AllFramesWritten() const
{
    std::lock_guard<std::mutex> hold(queueLock_);
    return count_ == 0 && !writing_;
}

void CRecorder::Start(const std::string& path)
{
    {
        std::lock_guard<std::mutex> hold(threadLock_);
        if (started_)
            return;  // already recording
    }
    audio_.Open(path);
    audio_.StartRecording();

    std::lock_guard<std::mutex> hold(threadLock_);
    started_ = true;
    running_ = true;
    try {
        thread_ = std::thread([this] { WriterLoop(); });
    } catch (const std::system_error&) {
        started_ = false;
        running_ = false;
    }
}

void CRecorder::WriterLoop()
{
    while (running_) {
        QueuedFrame frame;
        bool have = false;
        {
            std::lock_guard<std::mutex> hold(queueLock_);
            if (!queue_.empty()) {
                frame = std::move(queue_.front());
                queue_.pop_front();
                --count_;
                queuedBytes_ -= frame.length;
                have = writing_ = true;
            }
        }
        if (have) {
            audio_.WriteFrame(frame.data.get() + frame.offset, frame.width, frame.height,
                              size_t(frame.width) * size_t(frame.height) * 3);
            std::lock_guard<std::mutex> hold(queueLock_);
            writing_ = false;
        }
        std::unique_lock<std::mutex> hold(threadLock_);
        wake_.wait_for(hold, kWritePeriod, [this] { return !running_; });
    }
}

void CRecorder::Stop()
{
    bool wasStarted;
    {
        std::lock_guard<std::mutex> hold(threadLock_);
        running_ = false;
        wasStarted = started_;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    {
        std::lock_guard<std::mutex> hold(threadLock_);
        started_ = false;
    }
    if (wasStarted) {
        audio_.StopRecording();
        audio_.CloseInput();
        audio_.Free();
    }
    EmptyQueue();
}

void CRecorder::EmptyQueue()
{
    std::lock_guard<std::mutex> hold(queueLock_);
    queue_.clear();
    count_ = 0;
    queuedBytes_ = 0;
}

void CRecorder::Pause()
{
    audio_.paused = 1;
}

void CRecorder::Resume()
{
    audio_.paused = 0;
}
