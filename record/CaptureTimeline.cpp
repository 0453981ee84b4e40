#include "record/CaptureTimeline.h"

#include <algorithm>

void CCaptureTimeline::Start(int64_t now)
{
    start_ = now;
    delivered_ = 0;
}

uint64_t CCaptureTimeline::TakeMissing(int64_t now)
{
    const int64_t elapsed = std::max<int64_t>(0, now - start_);
    const uint64_t due = uint64_t(elapsed / 10000) * rate_ / 1000;  // milliseconds keep the product small
    if (due <= delivered_)
        return 0;
    const uint64_t missing = due - delivered_;
    delivered_ = due;
    return std::min<uint64_t>(missing, uint64_t(kMaxFillSeconds) * rate_);
}
