#pragma once
// Types shared by the camera library and its users: the lists it returns and the frame callback.
#include <cstddef>
#include <cstdint>

// One capture device; the library owns the list.
struct _DEVIECENAME_LIST {
    char name[128];
    _DEVIECENAME_LIST* next;
};

// One format and size a device offers, such as "YUYV" and "320 x 240"; the library owns the list.
struct _DEVIECEFORMAT_LIST {
    char format[16];
    char size[16];
    _DEVIECEFORMAT_LIST* next;
};

class IVideoCaptureNotify {
public:
    // One 320×240 bottom-up BGR frame; may be called on a library thread.
    virtual int OnVideoFrame(uint8_t* frame, size_t length) = 0;

protected:
    ~IVideoCaptureNotify() = default;
};

namespace zendracam {

inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 240;
inline constexpr size_t kFrameStride = ((kFrameWidth * 24 + 31) >> 3) & ~3;
inline constexpr size_t kFrameBytes = kFrameStride * kFrameHeight;
// Video device nodes looked at: /dev/video0 to /dev/video63.
inline constexpr int kMaxVideoNodes = 64;

// The virtual camera's own device name.
inline constexpr const char* kVirtualCameraName = "ZENDRA Capture";
// The virtual camera never sends fewer frames a second than this, and tells its readers so.
inline constexpr int kWriterFramesPerSecond = 10;

}  // namespace zendracam
