#include "effects/GifAnimation.h"

#include "diag/ThreadSignalStack.h"
#include "effects/PictureFile.h"

#include <QImageReader>
#include <QString>

#include <chrono>

CGifAnimation::CGifAnimation(FrameGate gate) : gate_(std::move(gate)) {}

CGifAnimation::~CGifAnimation()
{
    Unload();
}

void CGifAnimation::Load(const std::string& path)
{
    StopLoader();
    valid_ = false;
    DropFrames();
    currentFrame_ = 0;
    stepTicks_ = 2;
    tick_ = 0;
    loaderDone_ = false;
    path_ = path;
    {
        std::lock_guard lock(stopMutex_);
        stopRequested_ = false;
    }
    loader_ = std::thread([this] {
        UseOwnSignalStack();
        RunLoader();
    });
    valid_ = true;
}

void CGifAnimation::Unload()
{
    StopLoader();
    valid_ = false;
    DropFrames();
    path_.clear();
}

CDib* CGifAnimation::CurrentImage(int* slot)
{
    if (!valid_)
        return nullptr;
    // Done first: once it is seen set, the count read after it is final.
    const bool done = loaderDone_.load(std::memory_order_acquire);
    const int count = frameCount_.load(std::memory_order_acquire);
    if (count < 1)
        return nullptr;
    if (slot)
        *slot = currentFrame_;
    CDib* image = frames_[currentFrame_].get();
    if (++tick_ >= stepTicks_) {
        tick_ = 0;
        if (++currentFrame_ == count)
            currentFrame_ = done ? 0 : count - 1;
    }
    return image;
}

void CGifAnimation::StopLoader()
{
    if (!loader_.joinable())
        return;
    {
        std::lock_guard lock(stopMutex_);
        stopRequested_ = true;
    }
    stopWake_.notify_all();
    loader_.join();
}

void CGifAnimation::DropFrames()
{
    const int count = frameCount_.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
        frames_[i].reset();
    frameCount_.store(0, std::memory_order_release);
}

bool CGifAnimation::PauseLoader(int ms)
{
    std::unique_lock lock(stopMutex_);
    return !stopWake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopRequested_; });
}

void CGifAnimation::RunLoader()
{
    QImageReader reader(QString::fromStdString(path_));
    if (LimitPictureReader(reader)) {
        frameDelay_ = uint32_t(std::max(0, reader.nextImageDelay()));
        width_ = uint32_t(std::max(0, reader.size().width()));
        height_ = uint32_t(std::max(0, reader.size().height()));
        const int total = reader.imageCount();
        size_t decodedBytes = 0;
        for (int i = 0; i < kMaxFrames && (total <= 0 || i < total); ++i) {
            if ((gate_ && !gate_(i)) || !PauseLoader(0))
                break;
            const QImage image = reader.read();
            if (image.isNull() || qint64(image.width()) * image.height() > kMaxPicturePixels)
                break;
            auto dib = std::make_unique<CDib>(DibFromImage(image));
            decodedBytes += dib->Bits.size();
            if (decodedBytes > kMaxDecodedBytes)
                break;
            // The slot first, then the count: the compositor never sees a count that covers an empty slot.
            frames_[i] = std::move(dib);
            frameCount_.store(i + 1, std::memory_order_release);
            if (!PauseLoader(5))
                break;
        }
    }
    loaderDone_.store(true, std::memory_order_release);
}
