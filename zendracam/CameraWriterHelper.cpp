#include "zendracam/CameraWriterHelper.h"

#include <cstdio>

CCameraWriterHelper::CCameraWriterHelper(std::string areaName) : areaName_(std::move(areaName)) {}

CCameraWriterHelper::~CCameraWriterHelper()
{
    UninitDevice();
}

bool CCameraWriterHelper::InitDevice()
{
    auto output = zendracam::CLoopbackOutput::Open(zendracam::kVirtualCameraName);
    if (!output)
        std::fprintf(stderr, "zendracam: no v4l2loopback device labelled \"%s\"; frames go to shared memory only\n",
                     zendracam::kVirtualCameraName);
    return InitDevice(std::move(output));
}

bool CCameraWriterHelper::InitDevice(std::unique_ptr<zendracam::CLoopbackOutput> output)
{
    std::lock_guard lock(mutex_);
    loopback_ = std::move(output);
    return area_.Create(areaName_);
}

int CCameraWriterHelper::SetOrgBmp24Data(const uint8_t* frame, size_t length)
{
    if (!frame || length < zendracam::kFrameBytes)
        return 0;
    std::lock_guard lock(mutex_);
    if (!area_.IsOpen() && !loopback_)
        return 0;
    area_.Publish(frame);
    if (loopback_)
        loopback_->Write(frame);
    return 1;
}

void CCameraWriterHelper::UninitDevice()
{
    std::lock_guard lock(mutex_);
    loopback_.reset();
    area_.Close();
}

bool CCameraWriterHelper::HasLoopbackDevice() const
{
    std::lock_guard lock(mutex_);
    return loopback_ != nullptr;
}
