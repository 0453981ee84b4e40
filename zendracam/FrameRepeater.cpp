#include "zendracam/FrameRepeater.h"

#include "zendracam/CameraThread.h"

namespace zendracam {

IRepeatClock::TimePoint CSteadyRepeatClock::Now()
{
    return std::chrono::steady_clock::now();
}

void CSteadyRepeatClock::SleepUntil(TimePoint deadline, const std::atomic<bool>& stop)
{
    std::unique_lock lock(mutex_);
    woken_.wait_until(lock, deadline, [&] { return stop.load(); });
}

void CSteadyRepeatClock::Wake()
{
    // Taking the lock orders the caller's `stop` before the sleeper's next look at it.
    { std::lock_guard lock(mutex_); }
    woken_.notify_all();
}

CFrameRepeater::~CFrameRepeater()
{
    Stop();
}

void CFrameRepeater::Start(std::shared_ptr<IRepeatClock> clock, std::chrono::nanoseconds period, Repeat repeat)
{
    Stop();
    clock_ = std::move(clock);
    period_ = period;
    repeat_ = std::move(repeat);
    lastFrame_ = clock_->Now();
    stop_ = false;
    thread_ = StartCameraThread("zendracam-rep", [this] { Run(); });
}

void CFrameRepeater::Stop()
{
    if (!thread_.joinable())
        return;
    stop_ = true;
    clock_->Wake();
    thread_.join();
}

void CFrameRepeater::Delivered()
{
    if (!clock_)
        return;
    const auto now = clock_->Now();
    std::lock_guard lock(mutex_);
    lastFrame_ = now;
}

void CFrameRepeater::Run()
{
    while (!stop_) {
        IRepeatClock::TimePoint due;
        {
            std::lock_guard lock(mutex_);
            due = lastFrame_ + period_;
        }
        const auto now = clock_->Now();
        if (now < due) {
            clock_->SleepUntil(due, stop_);
            continue;
        }
        // Repeats keep their own beat; after a stall longer than a period they start again from now.
        {
            std::lock_guard lock(mutex_);
            if (lastFrame_ + period_ != due)
                continue;  // a frame came while we looked at the clock
            lastFrame_ = now - due < period_ ? due : now;
        }
        repeat_();
    }
}

}  // namespace zendracam
