#pragma once
// A GIF file decoded into 24-bit bottom-up frames on a loader thread of its own, and stepped once per
// composed video frame: the animation runs at a rate tied to the video, not to the GIF's delays.
#include "effects/Dib.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CGifAnimation {
public:
    // The frame table's capacity: decoding stops at the 100th frame.
    static constexpr int kMaxFrames = 100;
    // Together the decoded frames of one animation stay below this many bytes; decoding stops before a
    // frame that would pass it.
    static constexpr size_t kMaxDecodedBytes = size_t(256) << 20;

    // Called on the loader thread before frame i is decoded; false ends the decoding there. Lets a
    // caller hold the loader between frames.
    using FrameGate = std::function<bool(int frameIndex)>;

    explicit CGifAnimation(FrameGate gate = {});
    ~CGifAnimation();
    CGifAnimation(const CGifAnimation&) = delete;
    CGifAnimation& operator=(const CGifAnimation&) = delete;

    // Stops and joins a running loader, drops the frames and starts decoding `path` afresh.
    void Load(const std::string& path);
    // Stops and joins the loader and drops the frames.
    void Unload();

    // The frame the next composition shows, then one step on; nullptr when no frame is decoded yet.
    // `slot`, when given, receives the frame's index in the table.
    CDib* CurrentImage(int* slot = nullptr);

    bool Valid() const { return valid_; }
    int FrameCount() const { return frameCount_.load(std::memory_order_acquire); }
    bool LoaderDone() const { return loaderDone_.load(std::memory_order_acquire); }
    int CurrentFrame() const { return currentFrame_; }
    int StepTicks() const { return stepTicks_; }
    uint32_t FrameDelay() const { return frameDelay_; }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    const std::string& Path() const { return path_; }

private:
    void RunLoader();
    void StopLoader();
    void DropFrames();
    // Sleeps up to `ms` on the loader thread; false when a stop was asked for meanwhile.
    bool PauseLoader(int ms);

    std::atomic<bool> valid_{false};
    std::atomic<int> frameCount_{0};
    int currentFrame_ = 0;
    int stepTicks_ = 3;
    int tick_ = 0;
    std::atomic<bool> loaderDone_{false};
    std::atomic<uint32_t> frameDelay_{0};
    std::atomic<uint32_t> width_{0};
    std::atomic<uint32_t> height_{0};
    std::string path_;
    std::thread loader_;
    std::array<std::unique_ptr<CDib>, kMaxFrames> frames_;
    FrameGate gate_;

    std::mutex stopMutex_;
    std::condition_variable stopWake_;
    bool stopRequested_ = false;
};
