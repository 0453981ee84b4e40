#include "zendracam/CameraWriterHelper.h"

#include <chrono>
#include <cstdio>
#include <vector>

CCameraWriterHelper::CCameraWriterHelper(std::string areaPath) : areaPath_(std::move(areaPath)) {}

CCameraWriterHelper::~CCameraWriterHelper()
{
    UninitDevice();
}

bool CCameraWriterHelper::InitDevice()
{
    using namespace zendracam;
    UninitDevice();  // the device and the node are found again
    Outputs outputs;
    outputs.loopback = CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond);
    if (!outputs.loopback)
        std::fprintf(stderr, "zendracam: no v4l2loopback device labelled \"%s\"; programs that open V4L2 cameras do not see it\n",
                     kVirtualCameraName);
    outputs.pipeWire = CPipeWireOutput::Start(kVirtualCameraName, kWriterFramesPerSecond);
    if (!outputs.pipeWire)
        std::fprintf(stderr, "zendracam: no PipeWire daemon answers; there is no PipeWire camera \"%s\"\n",
                     kVirtualCameraName);
    return InitDevice(std::move(outputs));
}

bool CCameraWriterHelper::InitDevice(Outputs outputs)
{
    using namespace zendracam;
    UninitDevice();
    std::lock_guard lock(mutex_);
    loopback_ = std::move(outputs.loopback);
    pipeWire_ = std::move(outputs.pipeWire);
    const std::string path = areaPath_.empty() ? DefaultFrameAreaPath() : areaPath_;
    const bool area = area_.Create(path);
    if (!area)
        std::fprintf(stderr, "zendracam: cannot create the frame area \"%s\"; the preview and recordings get no frames\n",
                     path.c_str());
    running_ = area || loopback_ || pipeWire_;
    if (!running_)
        return false;
    // Some readers list the camera only once a frame came, and give up on one that stays quiet.
    static const std::vector<uint8_t> black(kFrameBytes, 0);
    Deliver(black.data());
    repeater_.Start(outputs.clock ? outputs.clock : std::make_shared<CSteadyRepeatClock>(),
                    std::chrono::nanoseconds(std::chrono::seconds(1)) / kWriterFramesPerSecond, [this] { RepeatLast(); });
    return area;
}

int CCameraWriterHelper::SetOrgBmp24Data(const uint8_t* frame, size_t length)
{
    if (!frame || length < zendracam::kFrameBytes)
        return 0;
    std::lock_guard lock(mutex_);
    if (!running_)
        return 0;
    Deliver(frame);
    repeater_.Delivered();
    return 1;
}

void CCameraWriterHelper::Deliver(const uint8_t* frame)
{
    area_.Publish(frame);
    if (loopback_)
        loopback_->Write(frame);
    if (pipeWire_)
        pipeWire_->Write(frame);
}

void CCameraWriterHelper::RepeatLast()
{
    std::lock_guard lock(mutex_);
    if (!running_)
        return;
    area_.Republish();
    if (loopback_)
        loopback_->Repeat();
    if (pipeWire_)
        pipeWire_->Repeat();
}

void CCameraWriterHelper::UninitDevice()
{
    repeater_.Stop();  // outside the lock: a repeat may be waiting for it
    std::lock_guard lock(mutex_);
    running_ = false;
    loopback_.reset();
    pipeWire_.reset();
    area_.Close();
}

bool CCameraWriterHelper::HasLoopbackDevice() const
{
    std::lock_guard lock(mutex_);
    return loopback_ != nullptr;
}

bool CCameraWriterHelper::HasPipeWireNode() const
{
    std::lock_guard lock(mutex_);
    return pipeWire_ != nullptr;
}
