#pragma once
// Counts the frames written to the virtual camera (on whichever thread wrote them), stops at a limit and
// dumps each frame as DIR/000001.bmp, 000002.bmp, … — a 24-bit BMP holding the frame buffer as it is.
#include "app/CommandLine.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class FrameLog {
public:
    explicit FrameLog(const StudioOptions& options) : limit_(options.frames), folder_(options.dumpFolder) {}

    void Take(const uint8_t* frame, size_t length);
    long Written() const { return written_; }
    bool LimitReached() const { return limit_ && written_ >= *limit_; }

private:
    const std::optional<long> limit_;
    const std::string folder_;
    std::atomic<long> taken_{0};
    std::atomic<long> written_{0};
    std::atomic<bool> dumpFailed_{false};
};
