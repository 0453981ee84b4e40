#include "zendracam/NormalCameraHelper.h"

#include "zendracam/CameraThread.h"
#include "zendracam/NearestScale.h"
#include "fileio/TextEncoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>
#include <sys/select.h>

namespace {

// Capture waits at most this long for a frame before it looks at the stop flag again.
constexpr long kWaitMicroseconds = 100000;

int Ioctl(int fd, unsigned long request, void* arg)
{
    int result;
    do
        result = v4l2_ioctl(fd, request, arg);
    while (result < 0 && errno == EINTR);
    return result;
}

// The card name of a capture device at `fd`, or empty when it is no capture device.
std::string CaptureCardName(int fd)
{
    v4l2_capability caps {};
    if (Ioctl(fd, VIDIOC_QUERYCAP, &caps) != 0)
        return {};
    const uint32_t deviceCaps = (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    if (!(deviceCaps & V4L2_CAP_VIDEO_CAPTURE))
        return {};
    return std::string(reinterpret_cast<const char*>(caps.card), strnlen(reinterpret_cast<const char*>(caps.card), sizeof caps.card));
}

// Cut between characters, so a long name never ends in half a character.
template <size_t N>
void CopyText(char (&to)[N], const std::string& text)
{
    std::snprintf(to, N, "%s", CutToUtf8Bytes(text, N - 1).c_str());
}

std::string FourccText(uint32_t fourcc)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = char((fourcc >> (8 * i)) & 0xFF);
        if (c != ' ' && c != '\0')
            text += c;
    }
    return text;
}

// Opens each video node that is a capture device and shows `keep` its card name; the first node kept
// stays open and its descriptor is returned, -1 when none is kept.
template <typename Keep>
int VisitCaptureNodes(Keep keep)
{
    for (int n = 0; n < zendracam::kMaxVideoNodes; ++n) {
        const std::string path = "/dev/video" + std::to_string(n);
        const int fd = v4l2_open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        const std::string card = CaptureCardName(fd);
        if (!card.empty() && keep(card))
            return fd;
        v4l2_close(fd);
    }
    return -1;
}

// Finds a capture device by card name and opens it through libv4l2; -1 when there is none.
int OpenCaptureDevice(const std::string& name)
{
    return VisitCaptureNodes([&](const std::string& card) { return card == name; });
}

template <typename Node>
Node* Link(std::vector<Node>& nodes)
{
    for (size_t i = 0; i < nodes.size(); ++i)
        nodes[i].next = i + 1 < nodes.size() ? &nodes[i + 1] : nullptr;
    return nodes.empty() ? nullptr : &nodes[0];
}

}  // namespace

CNormalCameraHelper::~CNormalCameraHelper()
{
    Disconnect();
}

_DEVIECENAME_LIST* CNormalCameraHelper::getDeviceList(int)
{
    devices_.clear();
    VisitCaptureNodes([this](const std::string& card) {
        if (card != zendracam::kVirtualCameraName) {
            _DEVIECENAME_LIST node {};
            CopyText(node.name, card);
            devices_.push_back(node);
        }
        return false;
    });
    return Link(devices_);
}

_DEVIECEFORMAT_LIST* CNormalCameraHelper::getDeviceResolutionList()
{
    formats_.clear();
    if (fd_ < 0)
        return nullptr;
    for (uint32_t f = 0;; ++f) {
        v4l2_fmtdesc desc {};
        desc.index = f;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(fd_, VIDIOC_ENUM_FMT, &desc) != 0)
            break;
        // Formats libv4l2 makes up by converting are not the device's own.
        if (desc.flags & V4L2_FMT_FLAG_EMULATED)
            continue;
        for (uint32_t s = 0;; ++s) {
            v4l2_frmsizeenum size {};
            size.index = s;
            size.pixel_format = desc.pixelformat;
            if (Ioctl(fd_, VIDIOC_ENUM_FRAMESIZES, &size) != 0)
                break;
            _DEVIECEFORMAT_LIST node {};
            CopyText(node.format, FourccText(desc.pixelformat));
            const uint32_t w = size.type == V4L2_FRMSIZE_TYPE_DISCRETE ? size.discrete.width : size.stepwise.max_width;
            const uint32_t h = size.type == V4L2_FRMSIZE_TYPE_DISCRETE ? size.discrete.height : size.stepwise.max_height;
            CopyText(node.size, std::to_string(w) + " x " + std::to_string(h));
            formats_.push_back(node);
            if (size.type != V4L2_FRMSIZE_TYPE_DISCRETE)
                break;
        }
    }
    return Link(formats_);
}

int CNormalCameraHelper::Connect(int, const char* deviceName, IVideoCaptureNotify* notify)
{
    Disconnect();
    if (!deviceName)
        return 0;
    const int fd = OpenCaptureDevice(deviceName);
    if (fd < 0)
        return 0;
    v4l2_format format {};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = zendracam::kFrameWidth;
    format.fmt.pix.height = zendracam::kFrameHeight;
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
    format.fmt.pix.field = V4L2_FIELD_ANY;
    const bool bgr = Ioctl(fd, VIDIOC_S_FMT, &format) == 0 && Ioctl(fd, VIDIOC_G_FMT, &format) == 0 &&
                     format.fmt.pix.pixelformat == V4L2_PIX_FMT_BGR24 && format.fmt.pix.width > 0 &&
                     format.fmt.pix.height > 0 && format.fmt.pix.bytesperline >= format.fmt.pix.width * 3 &&
                     format.fmt.pix.sizeimage >= format.fmt.pix.bytesperline * format.fmt.pix.height;
    if (!bgr) {
        v4l2_close(fd);
        return 0;
    }
    fd_ = fd;
    width_ = format.fmt.pix.width;
    height_ = format.fmt.pix.height;
    bytesPerLine_ = format.fmt.pix.bytesperline;
    sizeImage_ = format.fmt.pix.sizeimage;
    notify_ = notify;
    raw_.assign(sizeImage_, 0);
    frame_.assign(zendracam::kFrameBytes, 0);
    return 1;
}

bool CNormalCameraHelper::StartCapture()
{
    if (fd_ < 0 || !notify_ || thread_.joinable())
        return false;
    running_ = true;
    thread_ = zendracam::StartCameraThread("zendracam-cap", [this] { CaptureLoop(); });
    return true;
}

void CNormalCameraHelper::StopCapture()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

void CNormalCameraHelper::Disconnect()
{
    StopCapture();
    if (fd_ >= 0)
        v4l2_close(fd_);
    fd_ = -1;
    notify_ = nullptr;
    formats_.clear();
}

void CNormalCameraHelper::CaptureLoop()
{
    while (running_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd_, &readable);
        timeval wait {0, kWaitMicroseconds};
        const int ready = select(fd_ + 1, &readable, nullptr, nullptr, &wait);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t got = v4l2_read(fd_, raw_.data(), raw_.size());
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            break;  // the device went away
        }
        if (size_t(got) >= size_t(bytesPerLine_) * height_)
            Deliver(raw_.data(), size_t(got));
    }
}

void CNormalCameraHelper::Deliver(const uint8_t* data, size_t)
{
    // V4L2 rows run top-down; the frame is bottom-up, so start at the last row with a negative stride.
    const uint8_t* lastRow = data + size_t(height_ - 1) * bytesPerLine_;
    zendracam::ScaleNearest24(lastRow, int(width_), int(height_), -ptrdiff_t(bytesPerLine_), frame_.data(),
                              zendracam::kFrameWidth, zendracam::kFrameHeight, ptrdiff_t(zendracam::kFrameStride));
    notify_->OnVideoFrame(frame_.data(), frame_.size());
}
