#pragma once
// Records what the virtual camera sends: reads the frames back from the camera's frame area and
// pushes each one into a recorder while the recording runs.
#include "record/Recorder.h"
#include "zendracam/ZendraCameraHelper.h"

#include <atomic>
#include <string>

class COutputRecorder : private IVideoCaptureNotify {
public:
    COutputRecorder() = default;
    ~COutputRecorder();
    COutputRecorder(const COutputRecorder&) = delete;
    COutputRecorder& operator=(const COutputRecorder&) = delete;

    // Starts the recorder on `path` and the read-back; call on the user-interface thread.
    void Start(const std::string& path);
    void Stop();
    bool Recording() const { return recording_; }
    const CRecorder& Recorder() const { return recorder_; }

private:
    int OnVideoFrame(uint8_t* frame, size_t length) override;

    CRecorder recorder_;
    CZendraCameraHelper camera_;
    std::atomic<bool> recording_{false};
};
