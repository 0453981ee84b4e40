#pragma once
// A capture's sample count held against the time since it started. After an overrun the device has
// thrown away what it could not hold; the frames the clock says are missing are made up with silence.
#include <cstdint>

class CCaptureTimeline {
public:
    explicit CCaptureTimeline(uint32_t framesPerSecond) : rate_(framesPerSecond) {}

    // `now` in 100 ns units on a clock that never jumps.
    void Start(int64_t now);
    void Delivered(uint64_t frames) { delivered_ += frames; }
    // The frames of silence owed at `now`, right after the device restarted empty; counted as
    // delivered once returned. Never more than kMaxFillSeconds of them.
    uint64_t TakeMissing(int64_t now);

    static constexpr int64_t kMaxFillSeconds = 10;  // beyond that the clock, not the device, is wrong

private:
    uint32_t rate_;
    int64_t start_ = 0;
    uint64_t delivered_ = 0;
};
