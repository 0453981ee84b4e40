#pragma once
// Capture devices through V4L2, named by their card names; two devices with the same card name are told
// apart by their bus (or, failing that, their node). Capture streams through mapped buffers between
// StartCapture and StopCapture, so the device (and its light) is off while another source runs.
#include "zendracam/CameraTypes.h"
#include "zendracam/VideoDeviceAccess.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CNormalCameraHelper {
public:
    // Device names fit this many bytes of text, so a 40-byte name buffer holds them whole.
    static constexpr size_t kNameBytes = 39;

    explicit CNormalCameraHelper(IVideoDeviceAccess& access = Libv4l2Access());
    virtual ~CNormalCameraHelper();
    CNormalCameraHelper(const CNormalCameraHelper&) = delete;
    CNormalCameraHelper& operator=(const CNormalCameraHelper&) = delete;

    // The capture devices present now, never the virtual camera's own loopback; null when there are
    // none. The list stays valid until the next call.
    _DEVIECENAME_LIST* getDeviceList(int reason);
    // Formats and sizes of the connected device; null when none is connected.
    _DEVIECEFORMAT_LIST* getDeviceResolutionList();

    // Opens the device of this name (as the device list shows it, or a card name) and asks for 320×240
    // BGR24; frames go to `notify` once capture starts. Returns 1 on success, 0 otherwise.
    int Connect(int reserved, const char* deviceName, IVideoCaptureNotify* notify);

    bool StartCapture();
    // Ends the capture thread and the device's streaming.
    void StopCapture();

    bool IsConnected() const { return fd_ >= 0; }
    // The listed name of the connected device; empty when none is.
    const std::string& ConnectedName() const { return connectedName_; }
    // The connected device stopped delivering (unplugged, broken): capture stays off until Connect.
    bool HasFailed() const { return failed_; }
    // Where a failure is told, once per connection; the debug output (stderr) by default.
    void SetFailureReport(std::function<void(const std::string&)> report) { failureReport_ = std::move(report); }

private:
    struct Node {
        std::string path, card, name;
    };
    struct Buffer {
        void* start = nullptr;
        size_t length = 0;
    };
    std::vector<Node> CaptureNodes();
    void Disconnect();
    bool StartStreaming();
    void StopStreaming();
    void CaptureLoop();
    bool CaptureOne(short events);
    void Fail(int error);
    void Deliver(const uint8_t* data);

    IVideoDeviceAccess& access_;
    std::vector<_DEVIECENAME_LIST> devices_;
    std::vector<_DEVIECEFORMAT_LIST> formats_;
    int fd_ = -1;
    std::string connectedName_;
    uint32_t width_ = 0, height_ = 0, bytesPerLine_ = 0;
    IVideoCaptureNotify* notify_ = nullptr;
    std::vector<Buffer> buffers_;
    std::vector<uint8_t> frame_;
    std::atomic<bool> running_{false};
    std::atomic<bool> failed_{false};
    std::function<void(const std::string&)> failureReport_;
    std::thread thread_;
};
