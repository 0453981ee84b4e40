#include "record/OutputRecorder.h"

COutputRecorder::~COutputRecorder()
{
    Stop();
}

void COutputRecorder::Start(const std::string& path)
{
    if (recording_)
        return;
    recorder_.Start(path);
    recording_ = true;
    camera_.Connect(this);
    camera_.StartCapture();
}

void COutputRecorder::Stop()
{
    if (!recording_)
        return;
    recording_ = false;
    camera_.StopCapture();
    recorder_.Stop();
}

int COutputRecorder::OnVideoFrame(uint8_t* frame, size_t length)
{
    if (recording_ && length >= zendracam::kFrameBytes)
        recorder_.PushFrame(frame, zendracam::kFrameWidth, zendracam::kFrameHeight);
    return 0;
}
