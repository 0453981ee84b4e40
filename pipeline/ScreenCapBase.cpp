#include "pipeline/ScreenCapBase.h"

#include "pipeline/ArrowCursor.h"
#include "zendracam/NearestScale.h"

#include <algorithm>
#include <cstring>

namespace {

size_t RowBytes(int width)
{
    return size_t(((width * 24 + 31) >> 3) & ~3);
}

}  // namespace

CScreenCapBase::CScreenCapBase(std::unique_ptr<IWaveInDevice> microphone) : recorder_(std::move(microphone))
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { GrabScreenFrame(); });
}

CScreenCapBase::~CScreenCapBase()
{
    timer_.stop();
}

void CScreenCapBase::OnScreenFrame(uint8_t*, size_t) {}

bool CScreenCapBase::StartScreenCapture()
{
    if (!grabber_.Open())
        return false;
    FitScreenBuffer();
    paused_ = false;
    timer_.start(kGrabIntervalMs);
    return true;
}

void CScreenCapBase::FitScreenBuffer()
{
    grabber_.UpdateScreenSize();
    const size_t bytes = RowBytes(grabber_.ScreenWidth()) * size_t(grabber_.ScreenHeight());
    if (screen_.size() < bytes)
        screen_.assign(bytes, 0);
}

void CScreenCapBase::StopScreenCapture()
{
    timer_.stop();
}

void CScreenCapBase::StartScreenRecording(const std::string& path)
{
    recording_ = true;
    recorder_.Start(path);
}

void CScreenCapBase::StopScreenRecording()
{
    recording_ = false;
    recorder_.Stop();
}

void CScreenCapBase::SetCaptureRect(int left, int top, int right, int bottom)
{
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void CScreenCapBase::GrabScreenFrame()
{
    if (paused_ || !grabber_.IsOpen())
        return;
    FitScreenBuffer();  // the screen may have been reconfigured since the last tick
    // The rectangle is clamped to the screen, so the screen buffer always holds it.
    const int left = std::clamp(left_, 0, grabber_.ScreenWidth());
    const int top = std::clamp(top_, 0, grabber_.ScreenHeight());
    const int right = std::clamp(right_, left, grabber_.ScreenWidth());
    const int bottom = std::clamp(bottom_, top, grabber_.ScreenHeight());
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0)
        return;
    const size_t stride = RowBytes(w);
    std::memset(screen_.data(), 0, stride * size_t(h));
    if (!grabber_.Grab(left, top, w, h, screen_.data(), stride))
        return;
    int px, py;
    if (grabber_.PointerPosition(px, py))
        DrawArrowCursor(screen_.data(), w, h, stride, px - left - kArrowHotSpotX, py - top - kArrowHotSpotY);
    zendracam::ScaleNearest24(screen_.data(), w, h, ptrdiff_t(stride), scaled_.data(), zendracam::kFrameWidth,
                              zendracam::kFrameHeight, ptrdiff_t(zendracam::kFrameStride));
    // The recorder gets the screen as grabbed, before any effect.
    if (recording_)
        recorder_.PushFrame(scaled_.data(), zendracam::kFrameWidth, zendracam::kFrameHeight);
    OnScreenFrame(scaled_.data(), scaled_.size());
}
