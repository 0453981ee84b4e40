#pragma once
// The recorder's writer thread runs on fixed deadlines: a clock that never jumps and a wait that Stop
// cuts short. Tests run it on a simulated clock.
#include <cstdint>
#include <memory>

class IRecorderPacing {
public:
    virtual ~IRecorderPacing() = default;
    // 100 ns units, any origin.
    virtual int64_t Now() = 0;
    // Waits until Now() reaches `deadline`; false, at once, when Cancel was called since Arm.
    virtual bool WaitUntil(int64_t deadline) = 0;
    virtual void Arm() = 0;
    // Any thread.
    virtual void Cancel() = 0;
};

std::unique_ptr<IRecorderPacing> MakeSteadyPacing();
