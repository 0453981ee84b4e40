#pragma once
// The screen source: every 200 ms a rectangle of the screen is grabbed, the arrow pointer drawn into
// it, scaled to the frame and handed to OnScreenFrame.
#include "pipeline/X11ScreenGrabber.h"
#include "zendracam/CameraTypes.h"

#include <QTimer>

#include <array>
#include <cstdint>
#include <vector>

class CScreenCapBase {
public:
    static constexpr int kGrabIntervalMs = 200;

    CScreenCapBase();
    virtual ~CScreenCapBase();
    CScreenCapBase(const CScreenCapBase&) = delete;
    CScreenCapBase& operator=(const CScreenCapBase&) = delete;

    // Receives each scaled frame (320×240 bottom-up BGR, 230400 bytes).
    virtual void OnScreenFrame(uint8_t* frame, size_t length);

    // Starts the grab timer and clears paused. False when there is no screen to grab.
    bool StartScreenCapture();
    void StopScreenCapture();
    void PauseScreenCapture() { paused_ = true; }
    void ResumeScreenCapture() { paused_ = false; }
    void SetCaptureRect(int left, int top, int right, int bottom);

    bool IsScreenCapturing() const { return timer_.isActive(); }
    bool IsScreenPaused() const { return paused_; }

    // One tick of the grab timer.
    void GrabScreenFrame();

private:
    bool paused_ = false;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    CX11ScreenGrabber grabber_;
    std::vector<uint8_t> screen_;  // the whole screen at 24 bits, rows padded to 4 bytes
    std::array<uint8_t, zendracam::kFrameBytes> scaled_{};
    QTimer timer_;
};
