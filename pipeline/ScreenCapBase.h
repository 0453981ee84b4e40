#pragma once
// The screen source: every 200 ms a rectangle of the screen is grabbed, the arrow pointer drawn into
// it, scaled to the frame, fed to the recorder while recording and handed to OnScreenFrame.
#include "pipeline/X11ScreenGrabber.h"
#include "record/Recorder.h"
#include "zendracam/CameraTypes.h"

#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CScreenCapBase {
public:
    static constexpr int kGrabIntervalMs = 200;

    // The recorder takes its sound from `microphone`.
    explicit CScreenCapBase(std::unique_ptr<IWaveInDevice> microphone = MakeAlsaWaveIn());
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

    // Recording: the grabbed frames, without effects, go to a WMV file at `path` as well.
    void StartScreenRecording(const std::string& path);
    void StopScreenRecording();
    void PauseRecorder() { recorder_.Pause(); }
    void ResumeRecorder() { recorder_.Resume(); }
    bool IsScreenRecording() const { return recording_; }

    bool IsScreenCapturing() const { return timer_.isActive(); }
    bool IsScreenPaused() const { return paused_; }

    // One tick of the grab timer.
    void GrabScreenFrame();

private:
    // Grows the screen buffer to the screen's present size; it never shrinks.
    void FitScreenBuffer();

    CRecorder recorder_;
    bool recording_ = false;
    bool paused_ = false;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    CX11ScreenGrabber grabber_;
    std::vector<uint8_t> screen_;  // the whole screen at 24 bits, rows padded to 4 bytes
    std::array<uint8_t, zendracam::kFrameBytes> scaled_{};
    QTimer timer_;
};
