#include "zendracam/ZendraCameraHelper.h"

#include "zendracam/CameraThread.h"

#include <chrono>
#include <cstring>

namespace {

// How often the capture looks for a new frame; well under the 75 ms of the fastest source.
constexpr auto kPollInterval = std::chrono::milliseconds(5);
constexpr auto kReopenInterval = std::chrono::seconds(1);

void PutLe32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(v >> (8 * i));
}

}  // namespace

CZendraCameraHelper::CZendraCameraHelper(std::string areaPath)
    : areaPath_(std::move(areaPath)), frame_(zendracam::kFrameBytes)
{
}

CZendraCameraHelper::~CZendraCameraHelper()
{
    StopCapture();
}

bool CZendraCameraHelper::Connect(IVideoCaptureNotify* notify)
{
    StopCapture();
    notify_ = notify;
    openedPath_ = areaPath_.empty() ? zendracam::DefaultFrameAreaPath() : areaPath_;
    return area_.Open(openedPath_);
}

bool CZendraCameraHelper::GetVideoFormat(uint8_t* header, size_t size) const
{
    if (!header || size < 40)
        return false;
    std::memset(header, 0, 40);
    PutLe32(header, 40);                                 // biSize
    PutLe32(header + 4, zendracam::kFrameWidth);         // biWidth
    PutLe32(header + 8, zendracam::kFrameHeight);        // biHeight, positive: bottom-up
    header[12] = 1;                                      // biPlanes
    header[14] = 24;                                     // biBitCount
    PutLe32(header + 20, uint32_t(zendracam::kFrameBytes));  // biSizeImage
    return true;
}

bool CZendraCameraHelper::StartCapture()
{
    if (!notify_ || thread_.joinable())
        return false;
    running_ = true;
    thread_ = zendracam::StartCameraThread("zendracam-read", [this] { CaptureLoop(); });
    return true;
}

void CZendraCameraHelper::StopCapture()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

void CZendraCameraHelper::CaptureLoop()
{
    using Clock = std::chrono::steady_clock;
    uint32_t sequence = 0;
    auto lastFrame = Clock::now();
    auto lastOpen = Clock::now();
    while (running_) {
        const auto now = Clock::now();
        // A writer that went away and came back made a new area; the old file stays silent.
        if (now - lastFrame >= kReopenInterval && now - lastOpen >= kReopenInterval) {
            area_.Open(openedPath_);
            lastOpen = now;
        }
        if (area_.ReadNewer(frame_.data(), sequence)) {
            lastFrame = now;
            notify_->OnVideoFrame(frame_.data(), frame_.size());
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}
