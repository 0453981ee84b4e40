#pragma once
// The virtual camera writer: every frame goes to the shared-memory frame area and, when the system has
// one, to the v4l2loopback device labelled "ZENDRA Capture".
#include "zendracam/CameraTypes.h"
#include "zendracam/FrameArea.h"
#include "zendracam/LoopbackOutput.h"

#include <memory>
#include <mutex>
#include <string>

class CCameraWriterHelper {
public:
    explicit CCameraWriterHelper(std::string areaName = zendracam::kVirtualCameraArea);
    virtual ~CCameraWriterHelper();

    // Finds the loopback device and opens the frame area. Without a device only the area is used (one
    // line on stderr says so). False only when the frame area cannot be created.
    bool InitDevice();
    // The same with a loopback output found elsewhere, or none.
    bool InitDevice(std::unique_ptr<zendracam::CLoopbackOutput> output);

    // Copies one 320×240 bottom-up BGR frame out; the caller's buffer is free again on return. Returns
    // 1, or 0 when the writer is not set up or `length` is short of a frame.
    int SetOrgBmp24Data(const uint8_t* frame, size_t length);

    void UninitDevice();

    bool HasLoopbackDevice() const;

private:
    const std::string areaName_;
    mutable std::mutex mutex_;  // frames may come from the capture thread and the user-interface thread
    zendracam::CFrameAreaWriter area_;
    std::unique_ptr<zendracam::CLoopbackOutput> loopback_;
};
