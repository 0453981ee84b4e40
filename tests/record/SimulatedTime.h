#pragma once
// A simulated clock for the recorder: its writer thread waits on it, the producer, the microphone and
// the file's sample times read it. The test moves time forward and waits until the writer has done
// what was due and waits again.
#include "record/RecorderPacing.h"
#include "record/WmvWriter.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

class SimulatedTime {
public:
    static constexpr int64_t kOrigin = 132000000000000000;  // some wall-clock file time

    int64_t Now()
    {
        std::lock_guard<std::mutex> hold(lock_);
        return now_;
    }
    FileTimeClock FileClock()
    {
        return [this] { return kOrigin + Now(); };
    }
    std::unique_ptr<IRecorderPacing> Pacing() { return std::make_unique<Pacer>(*this); }

    // The writer's next deadline, or -1 while it is not waiting.
    int64_t WriterDeadline()
    {
        std::lock_guard<std::mutex> hold(lock_);
        return waitingFor_;
    }

    // Moves to `when` and waits (at most five real seconds) until the writer waits for a later time;
    // false when it did not.
    bool AdvanceTo(int64_t when)
    {
        std::unique_lock<std::mutex> hold(lock_);
        now_ = std::max(now_, when);
        changed_.notify_all();
        return changed_.wait_for(hold, std::chrono::seconds(5), [&] { return waitingFor_ > now_; });
    }

private:
    class Pacer final : public IRecorderPacing {
    public:
        explicit Pacer(SimulatedTime& time) : t_(time) {}
        int64_t Now() override { return t_.Now(); }
        bool WaitUntil(int64_t deadline) override
        {
            std::unique_lock<std::mutex> hold(t_.lock_);
            t_.waitingFor_ = deadline;
            t_.changed_.notify_all();
            t_.changed_.wait(hold, [&] { return cancelled_ || t_.now_ >= deadline; });
            t_.waitingFor_ = -1;
            return !cancelled_;
        }
        void Arm() override
        {
            std::lock_guard<std::mutex> hold(t_.lock_);
            cancelled_ = false;
        }
        void Cancel() override
        {
            std::lock_guard<std::mutex> hold(t_.lock_);
            cancelled_ = true;
            t_.changed_.notify_all();
        }

    private:
        SimulatedTime& t_;
        bool cancelled_ = false;
    };

    std::mutex lock_;
    std::condition_variable changed_;
    int64_t now_ = 0;
    int64_t waitingFor_ = -1;
};
