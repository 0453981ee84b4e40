#pragma once
// Keeps the virtual camera from going silent: whenever no frame went out for one period, the last one
// goes out again, on a thread of its own.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zendracam {

// The repeat thread's time. Tests put a clock of their own here.
class IRepeatClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IRepeatClock() = default;
    virtual TimePoint Now() = 0;
    // Returns once `deadline` has come or `stop` is set; Wake() makes it look at `stop` again.
    virtual void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) = 0;
    virtual void Wake() = 0;
};

// The monotonic system clock.
class CSteadyRepeatClock : public IRepeatClock {
public:
    TimePoint Now() override;
    void SleepUntil(TimePoint deadline, const std::atomic<bool>& stop) override;
    void Wake() override;

private:
    std::mutex mutex_;
    std::condition_variable woken_;
};

class CFrameRepeater {
public:
    using Repeat = std::function<void()>;

    CFrameRepeater() = default;
    ~CFrameRepeater();
    CFrameRepeater(const CFrameRepeater&) = delete;
    CFrameRepeater& operator=(const CFrameRepeater&) = delete;

    // Counts a frame as gone out now and calls `repeat` each `period` after the last frame for as long
    // as no other comes, until Stop().
    void Start(std::shared_ptr<IRepeatClock> clock, std::chrono::nanoseconds period, Repeat repeat);
    void Stop();

    // A frame went out: the next repeat is one period from now.
    void Delivered();

private:
    void Run();

    std::shared_ptr<IRepeatClock> clock_;
    std::chrono::nanoseconds period_{};
    Repeat repeat_;
    std::mutex mutex_;  // guards lastFrame_
    IRepeatClock::TimePoint lastFrame_{};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace zendracam
