#pragma once
// Capture devices through V4L2 (libv4l2 turns any camera format into BGR24). A device is named by its
// V4L2 card name.
#include "zendracam/CameraTypes.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class CNormalCameraHelper {
public:
    CNormalCameraHelper() = default;
    virtual ~CNormalCameraHelper();
    CNormalCameraHelper(const CNormalCameraHelper&) = delete;
    CNormalCameraHelper& operator=(const CNormalCameraHelper&) = delete;

    // The capture devices present now, never the virtual camera's own loopback; null when there are
    // none. The list stays valid until the next call.
    _DEVIECENAME_LIST* getDeviceList(int reason);
    // Formats and sizes of the connected device; null when none is connected.
    _DEVIECEFORMAT_LIST* getDeviceResolutionList();

    // Opens the device with this card name and asks for 320×240 BGR24; frames go to `notify` once
    // capture starts. Returns 1 on success, 0 otherwise.
    int Connect(int reserved, const char* deviceName, IVideoCaptureNotify* notify);

    bool StartCapture();
    void StopCapture();

private:
    void Disconnect();
    void CaptureLoop();
    void Deliver(const uint8_t* data, size_t bytes);

    std::vector<_DEVIECENAME_LIST> devices_;
    std::vector<_DEVIECEFORMAT_LIST> formats_;
    int fd_ = -1;
    uint32_t width_ = 0, height_ = 0, bytesPerLine_ = 0, sizeImage_ = 0;
    IVideoCaptureNotify* notify_ = nullptr;
    std::vector<uint8_t> raw_;
    std::vector<uint8_t> frame_;
    std::atomic<bool> running_{false};
    std::thread thread_;
};
