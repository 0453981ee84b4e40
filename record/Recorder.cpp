#include "record/Recorder.h"

#include "diag/ThreadSignalStack.h"

#include <cstring>
#include <new>
#include <system_error>

namespace {

constexpr int kMaxSide = 8192;  // larger frames are no frames of ours

}  // namespace

CRecorder::CRecorder(std::unique_ptr<IWaveInDevice> microphone, RecorderQueueLimits limits, FileTimeClock clock,
                     std::unique_ptr<IRecorderPacing> pacing)
    : limits_(limits), clock_(clock), audio_(std::move(microphone), std::move(clock)), pacing_(std::move(pacing))
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
    frame.pushedAt = clock_();
    frame.length = size_t(width) * size_t(height) * 3;
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

void CRecorder::Start(const std::string& path)
{
    if (recording_)
        return;
    audio_.Open(path);
    audio_.StartRecording();
    recording_ = true;

    pacing_->Arm();
    try {
        thread_ = std::thread([this] { WriterLoop(); });
    } catch (const std::system_error&) {
        // Frames then wait in the queue until Stop empties it.
    }
}

void CRecorder::WriterLoop()
{
    UseOwnSignalStack();
    int64_t deadline = pacing_->Now();
    while (pacing_->WaitUntil(deadline)) {
        WriteNextFrame();
        // Fixed deadlines: a late write is followed by the next one at once, but a writer more than a
        // period behind starts afresh from now instead of rushing through the deadlines it missed.
        deadline += kRecordFrameTicks;
        const int64_t now = pacing_->Now();
        if (now - deadline > kRecordFrameTicks)
            deadline = now;
    }
}

bool CRecorder::TakeOldest(QueuedFrame& frame)
{
    std::lock_guard<std::mutex> hold(queueLock_);
    if (queue_.empty())
        return false;
    frame = std::move(queue_.front());
    queue_.pop_front();
    --count_;
    queuedBytes_ -= frame.length;
    return true;
}

// A frame pushed within the frame slot of the one written before it gives way to the next in the
// queue, so that a fast producer is thinned out rather than let fall behind.
void CRecorder::WriteNextFrame()
{
    QueuedFrame frame;
    while (TakeOldest(frame)) {
        ++taken_;
        const WmvResult result =
            audio_.WriteFrame(frame.data.get(), frame.width, frame.height, frame.length, frame.pushedAt);
        if (result != WMV_S_FALSE)
            return;
        ++dropped_;
    }
}

void CRecorder::Stop()
{
    pacing_->Cancel();
    if (thread_.joinable())
        thread_.join();
    if (recording_) {
        audio_.StopRecording();
        audio_.CloseInput();
        audio_.Free();
        recording_ = false;
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
