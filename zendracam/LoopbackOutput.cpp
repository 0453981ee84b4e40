#include "zendracam/LoopbackOutput.h"

#include "zendracam/CameraTypes.h"
#include "zendracam/PixelConvert.h"

#include <cerrno>
#include <cstring>

namespace zendracam {

namespace {

bool IsOutputNamed(IVideoNode& node, const std::string& cardLabel)
{
    v4l2_capability caps {};
    if (node.Ioctl(VIDIOC_QUERYCAP, &caps) != 0)
        return false;
    const uint32_t deviceCaps = (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    const std::string card(reinterpret_cast<const char*>(caps.card), strnlen(reinterpret_cast<const char*>(caps.card), sizeof caps.card));
    return (deviceCaps & V4L2_CAP_VIDEO_OUTPUT) && card == cardLabel;
}

size_t MinimumRowBytes(uint32_t pixelformat)
{
    switch (pixelformat) {
    case V4L2_PIX_FMT_YUYV:
    case V4L2_PIX_FMT_UYVY:
        return size_t(kFrameWidth) * 2;
    case V4L2_PIX_FMT_BGR24:
    case V4L2_PIX_FMT_RGB24:
        return size_t(kFrameWidth) * 3;
    default:
        return 0;
    }
}

}  // namespace

std::unique_ptr<CLoopbackOutput> CLoopbackOutput::Open(const std::string& cardLabel, int framesPerSecond,
                                                       const VideoNodeOpener& open)
{
    for (int n = 0; n < kMaxVideoNodes; ++n) {
        auto node = open("/dev/video" + std::to_string(n));
        if (!node || !IsOutputNamed(*node, cardLabel))
            continue;
        v4l2_format format {};
        format.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        format.fmt.pix.width = kFrameWidth;
        format.fmt.pix.height = kFrameHeight;
        format.fmt.pix.pixelformat = V4L2_PIX_FMT_YUYV;
        format.fmt.pix.field = V4L2_FIELD_NONE;
        format.fmt.pix.bytesperline = kFrameWidth * 2;
        format.fmt.pix.sizeimage = kFrameWidth * 2 * kFrameHeight;
        format.fmt.pix.colorspace = V4L2_COLORSPACE_SMPTE170M;
        // A device already fed by another writer may refuse the change; what it reports back is what
        // it takes.
        node->Ioctl(VIDIOC_S_FMT, &format);
        if (node->Ioctl(VIDIOC_G_FMT, &format) != 0)
            continue;
        auto output = Adopt(std::move(node), format.fmt.pix);
        if (output && output->StartStreaming(framesPerSecond))
            return output;
    }
    return nullptr;
}

std::unique_ptr<CLoopbackOutput> CLoopbackOutput::Adopt(std::unique_ptr<IVideoNode> node, const v4l2_pix_format& format)
{
    const size_t rowBytes = MinimumRowBytes(format.pixelformat);
    const size_t stride = format.bytesperline ? format.bytesperline : rowBytes;
    const bool usable = node && rowBytes != 0 && format.width == uint32_t(kFrameWidth) &&
                        format.height == uint32_t(kFrameHeight) && stride >= rowBytes &&
                        format.sizeimage >= stride * kFrameHeight;
    if (!usable)
        return nullptr;
    v4l2_pix_format kept = format;
    kept.bytesperline = uint32_t(stride);
    return std::unique_ptr<CLoopbackOutput>(new CLoopbackOutput(std::move(node), kept));
}

CLoopbackOutput::CLoopbackOutput(std::unique_ptr<IVideoNode> node, const v4l2_pix_format& format)
    : node_(std::move(node)), format_(format), buffer_(format.sizeimage, 0)
{
}

bool CLoopbackOutput::StartStreaming(int framesPerSecond)
{
    // With exclusive_caps=1 a 0.12 driver hands its output side back on close only to a writer that
    // started streaming; newer drivers start inside write() and answer EINVAL here.
    int type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    const int started = node_->Ioctl(VIDIOC_STREAMON, &type);
    if (started != 0 && started != -EINVAL)
        return false;
    // Readers take the device's claimed rate for what they get; left alone it says 30.
    v4l2_streamparm parm {};
    parm.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    parm.parm.output.capability = V4L2_CAP_TIMEPERFRAME;
    parm.parm.output.timeperframe = {1, uint32_t(framesPerSecond)};
    node_->Ioctl(VIDIOC_S_PARM, &parm);
    return true;
}

bool CLoopbackOutput::Write(const uint8_t* frame)
{
    const size_t stride = format_.bytesperline;
    switch (format_.pixelformat) {
    case V4L2_PIX_FMT_YUYV:
    case V4L2_PIX_FMT_UYVY:
        BgrBottomUpToYuv422(frame, kFrameWidth, kFrameHeight, buffer_.data(), stride,
                            format_.pixelformat == V4L2_PIX_FMT_UYVY);
        break;
    default:
        BgrBottomUpToTopDown24(frame, kFrameWidth, kFrameHeight, buffer_.data(), stride,
                               format_.pixelformat == V4L2_PIX_FMT_RGB24);
        break;
    }
    return Repeat();
}

bool CLoopbackOutput::Repeat()
{
    return node_->Write(buffer_.data(), buffer_.size());
}

}  // namespace zendracam
