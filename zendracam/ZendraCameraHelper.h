#pragma once
// Reads the virtual camera back from its shared-memory frame area, from any process.
#include "zendracam/CameraTypes.h"
#include "zendracam/FrameArea.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class CZendraCameraHelper {
public:
    // An empty `areaPath` stands for DefaultFrameAreaPath() as it is when Connect runs.
    explicit CZendraCameraHelper(std::string areaPath = {});
    virtual ~CZendraCameraHelper();

    // Frames go to `notify` between StartCapture and StopCapture. True when the frame area is there
    // now; otherwise the capture keeps looking for it.
    bool Connect(IVideoCaptureNotify* notify);

    // Fills the 40-byte bitmap information header of the frames (320×240, 24 bits) into a buffer of
    // at least `size` bytes; false when it is too small.
    bool GetVideoFormat(uint8_t* header, size_t size = 44) const;

    bool StartCapture();
    void StopCapture();

private:
    void CaptureLoop();

    const std::string areaPath_;
    std::string openedPath_;
    IVideoCaptureNotify* notify_ = nullptr;
    zendracam::CFrameAreaReader area_;
    std::vector<uint8_t> frame_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};
