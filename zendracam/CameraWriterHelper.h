#pragma once
// The virtual camera writer: every frame goes to the user's shared-memory frame area and, where the
// system has them, to the v4l2loopback device labelled "ZENDRA Capture" and to a PipeWire camera node
// of that name. The camera never goes silent: when no frame came for a while the last one goes out again.
#include "zendracam/CameraTypes.h"
#include "zendracam/FrameArea.h"
#include "zendracam/FrameRepeater.h"
#include "zendracam/LoopbackOutput.h"
#include "zendracam/PipeWireOutput.h"

#include <memory>
#include <mutex>
#include <string>

class CCameraWriterHelper {
public:
    // The outputs besides the frame area, and the repeat thread's clock (null: the system's).
    struct Outputs {
        std::unique_ptr<zendracam::CLoopbackOutput> loopback;
        std::unique_ptr<zendracam::CPipeWireOutput> pipeWire;
        std::shared_ptr<zendracam::IRepeatClock> clock;
    };

    // An empty `areaPath` stands for DefaultFrameAreaPath() as it is when InitDevice runs.
    explicit CCameraWriterHelper(std::string areaPath = {});
    virtual ~CCameraWriterHelper();

    // Opens the frame area and finds the loopback device and the PipeWire daemon; each one missing is
    // named once on stderr. From here on a frame goes out at least kWriterFramesPerSecond times a
    // second: black until the first real one, then the last one again. False only when the frame area
    // cannot be created; the other outputs still work then.
    bool InitDevice();
    // The same with outputs found elsewhere.
    bool InitDevice(Outputs outputs);

    // Copies one 320×240 bottom-up BGR frame to every output; the caller's buffer is free again on
    // return. Returns 1, or 0 when the writer is not set up or `length` is short of a frame.
    int SetOrgBmp24Data(const uint8_t* frame, size_t length);

    void UninitDevice();

    bool HasLoopbackDevice() const;
    bool HasPipeWireNode() const;

private:
    void Deliver(const uint8_t* frame);
    void RepeatLast();

    const std::string areaPath_;
    zendracam::CFrameRepeater repeater_;
    mutable std::mutex mutex_;  // frames come from the capture, user-interface and repeat threads
    bool running_ = false;
    zendracam::CFrameAreaWriter area_;
    std::unique_ptr<zendracam::CLoopbackOutput> loopback_;
    std::unique_ptr<zendracam::CPipeWireOutput> pipeWire_;
};
