#include "record/RecorderPacing.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;

class CSteadyPacing final : public IRecorderPacing {
public:
    int64_t Now() override
    {
        return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    bool WaitUntil(int64_t deadline) override
    {
        std::unique_lock<std::mutex> hold(lock_);
        const std::chrono::steady_clock::time_point until{std::chrono::duration_cast<std::chrono::steady_clock::duration>(Ticks(deadline))};
        cancelled_.wait_until(hold, until, [this] { return cancel_; });
        return !cancel_;
    }

    void Arm() override
    {
        std::lock_guard<std::mutex> hold(lock_);
        cancel_ = false;
    }

    void Cancel() override
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            cancel_ = true;
        }
        cancelled_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable cancelled_;
    bool cancel_ = false;
};

}  // namespace

std::unique_ptr<IRecorderPacing> MakeSteadyPacing()
{
    return std::make_unique<CSteadyPacing>();
}
