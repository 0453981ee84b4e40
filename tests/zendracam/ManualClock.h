#pragma once
// A clock for the repeat thread that moves only when the test says so.
#include "zendracam/FrameRepeater.h"

#include <condition_variable>
#include <mutex>

class ManualClock : public zendracam::IRepeatClock {
public:
    TimePoint Now() override
    {
        std::lock_guard lock(mutex_);
        return now_;
    }

    void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) override
    {
        std::unique_lock lock(mutex_);
        ++sleepers_;
        sleepingUntil_ = deadline;
        changed_.notify_all();
        changed_.wait(lock, [&] { return now_ >= deadline || stop; });
        --sleepers_;
    }

    void Wake() override
    {
        { std::lock_guard lock(mutex_); }
        changed_.notify_all();
    }

    // Moves time on by `step`, then waits until the repeat thread has done all that was due by then
    // and sleeps again.
    void Advance(std::chrono::nanoseconds step)
    {
        std::unique_lock lock(mutex_);
        now_ += step;
        changed_.notify_all();
        changed_.wait(lock, [&] { return sleepers_ > 0 && sleepingUntil_ > now_; });
    }

    std::chrono::milliseconds Elapsed()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Now() - TimePoint{});
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    TimePoint now_{};
    TimePoint sleepingUntil_{};
    int sleepers_ = 0;
};
