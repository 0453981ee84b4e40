#include "effects/PictureListing.h"

#include "diag/ThreadSignalStack.h"

#include <chrono>

CPictureListing::CPictureListing(ItemReady itemReady, Finished finished, ListingSleep pause)
    : itemReady_(std::move(itemReady)), finished_(std::move(finished)), pause_(std::move(pause))
{
}

CPictureListing::~CPictureListing()
{
    Stop();
}

void CPictureListing::Start(const std::string& folder)
{
    Stop();
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
    }
    running_ = true;
    thread_ = std::thread([this, folder, generation = generation_] {
        UseOwnSignalStack();
        Run(folder, generation);
    });
}

void CPictureListing::Stop()
{
    ++generation_;  // whatever the old thread already handed over is dropped on arrival
    running_ = false;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool CPictureListing::StopRequested()
{
    std::lock_guard lock(mutex_);
    return stop_;
}

void CPictureListing::Pause(int milliseconds)
{
    if (pause_) {
        pause_(milliseconds);
        return;
    }
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stop_; });
}

void CPictureListing::Deliver(uint64_t generation, std::function<void()> deliver)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, deliver = std::move(deliver)] {
            if (generation == generation_)
                deliver();
        },
        Qt::QueuedConnection);
}

void CPictureListing::Run(const std::string& folder, uint64_t generation)
{
    const bool listed = WalkPictureNames(
        folder, [this](int ms) { Pause(ms); },
        [&](const std::string& name) {
            if (StopRequested())
                return false;
            Deliver(generation, [this, item = MakePictureItem(folder, name)] { itemReady_(item); });
            return true;
        });
    Deliver(generation, [this, listed] {
        running_ = false;
        finished_(listed);
    });
}
