#pragma once
// A V4L2 output device that exists only in the test: it answers the ioctls the loopback output uses
// the way a v4l2loopback driver does, and keeps what was asked of it and every frame written to it.
#include "zendracam/FrameRepeater.h"
#include "zendracam/VideoNode.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct FakeVideoDevice {
    struct Written {
        zendracam::IRepeatClock::TimePoint at;
        std::vector<uint8_t> bytes;
    };

    std::string card = "ZENDRA Capture";
    uint32_t deviceCaps = V4L2_CAP_VIDEO_OUTPUT;
    // The format the device takes whatever S_FMT asks; none means it takes what it is asked.
    bool fixedFormat = false;
    v4l2_pix_format format {};
    int streamOnResult = 0;
    zendracam::IRepeatClock* clock = nullptr;  // stamps the writes when set

    std::mutex mutex;
    std::vector<std::string> calls;
    v4l2_streamparm parm {};
    std::vector<Written> writes;

    std::vector<Written> Writes()
    {
        std::lock_guard lock(mutex);
        return writes;
    }
};

class FakeVideoNode : public zendracam::IVideoNode {
public:
    explicit FakeVideoNode(std::shared_ptr<FakeVideoDevice> device) : device_(std::move(device)) {}

    int Ioctl(unsigned long request, void* arg) override
    {
        FakeVideoDevice& d = *device_;
        std::lock_guard lock(d.mutex);
        switch (request) {
        case VIDIOC_QUERYCAP: {
            d.calls.push_back("QUERYCAP");
            auto* caps = static_cast<v4l2_capability*>(arg);
            std::memset(caps, 0, sizeof *caps);
            std::strncpy(reinterpret_cast<char*>(caps->card), d.card.c_str(), sizeof caps->card);
            caps->capabilities = d.deviceCaps | V4L2_CAP_DEVICE_CAPS;
            caps->device_caps = d.deviceCaps;
            return 0;
        }
        case VIDIOC_S_FMT:
            d.calls.push_back("S_FMT");
            if (!d.fixedFormat)
                d.format = static_cast<v4l2_format*>(arg)->fmt.pix;
            return 0;
        case VIDIOC_G_FMT:
            d.calls.push_back("G_FMT");
            static_cast<v4l2_format*>(arg)->fmt.pix = d.format;
            return 0;
        case VIDIOC_STREAMON:
            d.calls.push_back(*static_cast<int*>(arg) == V4L2_BUF_TYPE_VIDEO_OUTPUT ? "STREAMON" : "STREAMON?");
            return d.streamOnResult;
        case VIDIOC_S_PARM:
            d.calls.push_back("S_PARM");
            d.parm = *static_cast<v4l2_streamparm*>(arg);
            return 0;
        default:
            d.calls.push_back("?");
            return -ENOTTY;
        }
    }

    bool Write(const uint8_t* data, size_t size) override
    {
        const auto at = device_->clock ? device_->clock->Now() : zendracam::IRepeatClock::TimePoint{};
        std::lock_guard lock(device_->mutex);
        device_->writes.push_back({at, std::vector<uint8_t>(data, data + size)});
        return true;
    }

private:
    std::shared_ptr<FakeVideoDevice> device_;
};

// Opens the fake devices by their paths; every other path is missing.
inline zendracam::VideoNodeOpener FakeNodes(std::map<std::string, std::shared_ptr<FakeVideoDevice>> devices)
{
    return [devices = std::move(devices)](const std::string& path) -> std::unique_ptr<zendracam::IVideoNode> {
        const auto found = devices.find(path);
        if (found == devices.end())
            return nullptr;
        return std::make_unique<FakeVideoNode>(found->second);
    };
}
