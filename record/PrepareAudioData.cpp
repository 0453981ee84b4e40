#include "record/PrepareAudioData.h"

#include "settings/WindowMessages.h"
#include "diag/PlainMessageBox.h"
#include "diag/ThreadSignalStack.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>

void WidenTo32Bits(const uint8_t* bgr, size_t pixels, uint8_t* bgr0)
{
    for (size_t i = 0; i < pixels; ++i) {
        bgr0[4 * i] = bgr[3 * i];
        bgr0[4 * i + 1] = bgr[3 * i + 1];
        bgr0[4 * i + 2] = bgr[3 * i + 2];
        bgr0[4 * i + 3] = 0;
    }
}

CPrepareAudioData::CPrepareAudioData(std::unique_ptr<IWaveInDevice> device, FileTimeClock clock)
    : device_(std::move(device)), copyBlock_(kBlockBytes), clock_(clock), writer_(std::move(clock))
{
}

CPrepareAudioData::~CPrepareAudioData()
{
    StopRecording();
    CloseInput();
    Free();
}

int CPrepareAudioData::Open(const std::string& path)
{
    // Kept even when the microphone fails: the recording is then made without sound, into this file.
    path_ = path;
    for (auto& buffer : capture_) {
        buffer.reset(new (std::nothrow) uint8_t[kBlockBytes]);
        if (!buffer) {
            Free();
            ShowPlainMessage("Memory erro!");
            return 0;
        }
    }
    format_ = WaveFormat{};
    writer_.audioFormat = format_;

    std::fputs(device_->CountDevices() > 0 ? "有可以使用的WaveIn通道\n" : "没有可以使用的WaveIn通道\n", stderr);

    if (!device_->Open(format_)) {
        Free();
        ShowPlainMessage("Audio can not be open!");
        return 0;
    }
    inputOpen_ = true;
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        queue_ = {0, 1};
        stopReading_ = false;
    }
    paused = 0;
    return 1;
}

void CPrepareAudioData::StartRecording()
{
    writer_.Init();
    writer_.Configure(path_, 240, 320, 32, inputOpen_);
    writer_.BeginWriting();
    // Frames are written even when the microphone could not be opened (Open then left `paused` as the
    // last Stop set it).
    paused = 0;
    // The microphone starts after the file, so that its first block joins the start of the file
    // rather than holding sound from before it.
    if (inputOpen_ && !reader_.joinable() && device_->Start()) {
        const unsigned generation = ++generation_;
        try {
            reader_ = std::thread([this, generation] { ReadBlocks(generation); });
        } catch (const std::system_error&) {
            // No reader: the sound stream stays empty, as with a microphone that does not start.
        }
    }
}

void CPrepareAudioData::StopRecording()
{
    paused = 1;
    writer_.EndWriting();
    device_->Reset();
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        stopReading_ = true;
    }
    queued_.notify_all();
}

void CPrepareAudioData::CloseInput()
{
    if (reader_.joinable())
        reader_.join();
    if (inputOpen_)
        device_->Close();
    inputOpen_ = false;
    ++generation_;
}

void CPrepareAudioData::Free()
{
    std::lock_guard<std::mutex> hold(queueLock_);
    queue_.clear();
    for (auto& buffer : capture_)
        buffer.reset();
}

WmvResult CPrepareAudioData::WriteFrame(const uint8_t* pixels, int width, int height, size_t size,
                                        int64_t capturedAt)
{
    if (!pixels || width <= 0 || height <= 0)
        return WMV_E_FAIL;
    const size_t count = size_t(width) * size_t(height);
    if (size == count * 3) {
        widened_.resize(count * 4);
        WidenTo32Bits(pixels, count, widened_.data());
        pixels = widened_.data();
    } else if (size != count * 4) {
        return WMV_E_FAIL;
    }
    return paused ? WMV_S_OK : writer_.WriteVideo(pixels, uint32_t(count * 4), capturedAt);
}

// The reader thread: fills whichever buffer is queued and hands it to the owning thread.
void CPrepareAudioData::ReadBlocks(unsigned generation)
{
    UseOwnSignalStack();
    for (;;) {
        int index;
        {
            std::unique_lock<std::mutex> hold(queueLock_);
            queued_.wait(hold, [&] { return stopReading_ || !queue_.empty(); });
            if (stopReading_)
                return;
            index = queue_.front();
            queue_.pop_front();
        }
        uint8_t* buffer = capture_[index].get();
        std::memset(buffer, 0, kBlockBytes);
        if (device_->Read(buffer, kBlockBytes) != long(kBlockBytes))
            return;
        PostWindowMessage(this, MM_WIM_DATA, uintptr_t(index), intptr_t(generation), clock_());
    }
}

bool CPrepareAudioData::event(QEvent* event)
{
    if (event->type() != CWindowMessage::EventType(MM_WIM_DATA))
        return QObject::event(event);
    const auto* message = static_cast<CWindowMessage*>(event);
    OnBlock(int(message->wParam), unsigned(message->lParam), std::any_cast<int64_t>(message->payload));
    return true;
}

void CPrepareAudioData::OnBlock(int index, unsigned generation, int64_t endedAt)
{
    if (!inputOpen_ || generation != generation_ || index < 0 || index > 1 || !capture_[index])
        return;
    ++received_;
    std::memcpy(copyBlock_.data(), capture_[index].get(), kBlockBytes);
    if (!paused)
        writer_.WriteAudio(copyBlock_.data(), kBlockBytes, endedAt);
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        queue_.push_back(index);
    }
    queued_.notify_all();
}
