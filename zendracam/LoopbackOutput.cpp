#include "zendracam/LoopbackOutput.h"

#include "zendracam/CameraTypes.h"
#include "zendracam/PixelConvert.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zendracam {

namespace {


int Ioctl(int fd, unsigned long request, void* arg)
{
    int result;
    do
        result = ioctl(fd, request, arg);
    while (result < 0 && errno == EINTR);
    return result;
}

bool IsOutputNamed(int fd, const std::string& cardLabel)
{
    v4l2_capability caps {};
    if (Ioctl(fd, VIDIOC_QUERYCAP, &caps) != 0)
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

std::unique_ptr<CLoopbackOutput> CLoopbackOutput::Open(const std::string& cardLabel)
{
    for (int n = 0; n < kMaxVideoNodes; ++n) {
        const std::string path = "/dev/video" + std::to_string(n);
        const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (!IsOutputNamed(fd, cardLabel)) {
            close(fd);
            continue;
        }
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
        Ioctl(fd, VIDIOC_S_FMT, &format);
        if (Ioctl(fd, VIDIOC_G_FMT, &format) != 0) {
            close(fd);
            continue;
        }
        if (auto output = Adopt(fd, format.fmt.pix))
            return output;
    }
    return nullptr;
}

std::unique_ptr<CLoopbackOutput> CLoopbackOutput::Adopt(int fd, const v4l2_pix_format& format)
{
    const size_t rowBytes = MinimumRowBytes(format.pixelformat);
    const size_t stride = format.bytesperline ? format.bytesperline : rowBytes;
    const bool usable = rowBytes != 0 && format.width == uint32_t(kFrameWidth) &&
                        format.height == uint32_t(kFrameHeight) && stride >= rowBytes &&
                        format.sizeimage >= stride * kFrameHeight;
    if (!usable) {
        close(fd);
        return nullptr;
    }
    v4l2_pix_format kept = format;
    kept.bytesperline = uint32_t(stride);
    return std::unique_ptr<CLoopbackOutput>(new CLoopbackOutput(fd, kept));
}

CLoopbackOutput::CLoopbackOutput(int fd, const v4l2_pix_format& format)
    : fd_(fd), format_(format), buffer_(format.sizeimage, 0)
{
}

CLoopbackOutput::~CLoopbackOutput()
{
    close(fd_);
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
    ssize_t written;
    do
        written = write(fd_, buffer_.data(), buffer_.size());
    while (written < 0 && errno == EINTR);
    return written == ssize_t(buffer_.size());
}

}  // namespace zendracam
