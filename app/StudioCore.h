#pragma once
// The studio both front ends run, with its start and its end in one order: the settings files, the
// frame sink with the camera, the virtual camera and the saved effect choice, the front end's own
// windows, the output folders; at the end capture stopped, the virtual camera released, the settings
// written back.
#include "pipeline/CaptureScr.h"

#include <functional>
#include <memory>

class CStudioCore {
public:
    CStudioCore();
    // Whatever of the end has not run yet runs here.
    ~CStudioCore();
    CStudioCore(const CStudioCore&) = delete;
    CStudioCore& operator=(const CStudioCore&) = delete;

    CCaptureScr& Sink() { return *sink_; }

    // Makes the sink the process-wide CaptureSink; loads User_Config.xml, Active.ini and Camera.ini;
    // picks a camera, sets up the virtual camera and starts capture on the camera source; applies the
    // saved effect choice; runs `buildWindows`; then makes sure the photo and record folders exist.
    void Start(const std::function<void()>& buildWindows = {});
    // Capture stopped and the virtual camera released; once.
    void StopCapture();
    // The effect choice handed back, User_Config.xml, Active.ini and Camera.ini written, the saved
    // lists emptied; once, after StopCapture.
    void SaveSettings();

private:
    std::unique_ptr<CCaptureScr> sink_;
    bool started_ = false;
    bool captureStopped_ = false;
    bool saved_ = false;
};
