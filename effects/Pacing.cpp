#include "effects/Pacing.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

void SleepFor(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::atomic<PaceFunction> currentPace{&SleepFor};

}  // namespace

void SetPaceFunction(PaceFunction pace)
{
    currentPace = pace ? pace : &SleepFor;
}

void PaceFrame(int milliseconds)
{
    currentPace.load()(milliseconds);
}
