#include "zendracam/NormalCameraHelper.h"

#include "zendracam/CameraThread.h"
#include "zendracam/NearestScale.h"
#include "fileio/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>

namespace {

// Capture waits at most this long for a frame before it looks at the stop flag again.
constexpr int kWaitMilliseconds = 100;
constexpr uint32_t kBufferCount = 4;

struct FoundNode {
    std::string path, card, bus;
};

std::string FixedText(const uint8_t* text, size_t size)
{
    const char* chars = reinterpret_cast<const char*>(text);
    return std::string(chars, strnlen(chars, size));
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

// The video nodes that are capture devices, other than the virtual camera itself.
std::vector<FoundNode> FindCaptureNodes(IVideoDeviceAccess& access)
{
    std::vector<FoundNode> found;
    for (int n = 0; n < zendracam::kMaxVideoNodes; ++n) {
        const std::string path = "/dev/video" + std::to_string(n);
        const int fd = access.Open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        v4l2_capability caps {};
        if (access.Ioctl(fd, VIDIOC_QUERYCAP, &caps) == 0) {
            const uint32_t deviceCaps =
                (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
            const std::string card = FixedText(caps.card, sizeof caps.card);
            if ((deviceCaps & V4L2_CAP_VIDEO_CAPTURE) && !card.empty() && card != zendracam::kVirtualCameraName)
                found.push_back({path, card, FixedText(caps.bus_info, sizeof caps.bus_info)});
        }
        access.Close(fd);
    }
    return found;
}

// A card name alone where it is unique; otherwise with the bus in brackets, or the node where the bus
// does not tell them apart either. The card name is cut so that the bracket always survives.
std::string DistinctName(const FoundNode& node, const std::vector<FoundNode>& all)
{
    const auto sameCard = [&](const FoundNode& other) { return other.card == node.card; };
    if (std::count_if(all.begin(), all.end(), sameCard) == 1)
        return CutToUtf8Bytes(node.card, CNormalCameraHelper::kNameBytes);
    const bool busTells = !node.bus.empty() && std::count_if(all.begin(), all.end(), [&](const FoundNode& other) {
                                                    return sameCard(other) && other.bus == node.bus;
                                                }) == 1;
    // Bus texts and node paths are at most 31 bytes, which leaves the card five or more.
    const std::string& tag = busTells ? node.bus : node.path;
    return CutToUtf8Bytes(node.card, CNormalCameraHelper::kNameBytes - tag.size() - 3) + " (" + tag + ")";
}

template <typename Node>
Node* Link(std::vector<Node>& nodes)
{
    for (size_t i = 0; i < nodes.size(); ++i)
        nodes[i].next = i + 1 < nodes.size() ? &nodes[i + 1] : nullptr;
    return nodes.empty() ? nullptr : &nodes[0];
}

}  // namespace

CNormalCameraHelper::CNormalCameraHelper(IVideoDeviceAccess& access)
    : access_(access), failureReport_([](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); })
{
}

CNormalCameraHelper::~CNormalCameraHelper()
{
    Disconnect();
}

std::vector<CNormalCameraHelper::Node> CNormalCameraHelper::CaptureNodes()
{
    const std::vector<FoundNode> found = FindCaptureNodes(access_);
    std::vector<Node> nodes;
    for (const FoundNode& node : found)
        nodes.push_back({node.path, node.card, DistinctName(node, found)});
    return nodes;
}

_DEVIECENAME_LIST* CNormalCameraHelper::getDeviceList(int)
{
    devices_.clear();
    for (const Node& node : CaptureNodes()) {
        _DEVIECENAME_LIST entry {};
        CopyText(entry.name, node.name);
        devices_.push_back(entry);
    }
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
        if (access_.Ioctl(fd_, VIDIOC_ENUM_FMT, &desc) != 0)
            break;
        // Formats libv4l2 makes up by converting are not the device's own.
        if (desc.flags & V4L2_FMT_FLAG_EMULATED)
            continue;
        for (uint32_t s = 0;; ++s) {
            v4l2_frmsizeenum size {};
            size.index = s;
            size.pixel_format = desc.pixelformat;
            if (access_.Ioctl(fd_, VIDIOC_ENUM_FRAMESIZES, &size) != 0)
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
    // The devices as they are now: the list shown to the user may be older.
    const std::vector<Node> nodes = CaptureNodes();
    auto node = std::find_if(nodes.begin(), nodes.end(), [&](const Node& n) { return n.name == deviceName; });
    if (node == nodes.end())
        node = std::find_if(nodes.begin(), nodes.end(), [&](const Node& n) { return n.card == deviceName; });
    if (node == nodes.end())
        return 0;
    const int fd = access_.Open(node->path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    v4l2_format format {};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = zendracam::kFrameWidth;
    format.fmt.pix.height = zendracam::kFrameHeight;
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
    format.fmt.pix.field = V4L2_FIELD_ANY;
    const bool bgr = access_.Ioctl(fd, VIDIOC_S_FMT, &format) == 0 && access_.Ioctl(fd, VIDIOC_G_FMT, &format) == 0 &&
                     format.fmt.pix.pixelformat == V4L2_PIX_FMT_BGR24 && format.fmt.pix.width > 0 &&
                     format.fmt.pix.height > 0 && format.fmt.pix.bytesperline >= format.fmt.pix.width * 3 &&
                     format.fmt.pix.sizeimage >= format.fmt.pix.bytesperline * format.fmt.pix.height;
    if (!bgr) {
        access_.Close(fd);
        return 0;
    }
    fd_ = fd;
    connectedName_ = node->name;
    width_ = format.fmt.pix.width;
    height_ = format.fmt.pix.height;
    bytesPerLine_ = format.fmt.pix.bytesperline;
    notify_ = notify;
    frame_.assign(zendracam::kFrameBytes, 0);
    return 1;
}

bool CNormalCameraHelper::StartCapture()
{
    if (fd_ < 0 || !notify_ || failed_ || thread_.joinable())
        return false;
    if (!StartStreaming()) {
        StopStreaming();
        return false;
    }
    running_ = true;
    thread_ = zendracam::StartCameraThread("zendracam-cap", [this] { CaptureLoop(); });
    return true;
}

void CNormalCameraHelper::StopCapture()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
    StopStreaming();
}

void CNormalCameraHelper::Disconnect()
{
    StopCapture();
    if (fd_ >= 0)
        access_.Close(fd_);
    fd_ = -1;
    connectedName_.clear();
    notify_ = nullptr;
    failed_ = false;
    formats_.clear();
}

bool CNormalCameraHelper::StartStreaming()
{
    v4l2_requestbuffers request {};
    request.count = kBufferCount;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (access_.Ioctl(fd_, VIDIOC_REQBUFS, &request) != 0 || request.count == 0)
        return false;
    for (uint32_t i = 0; i < request.count; ++i) {
        v4l2_buffer buffer {};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = i;
        if (access_.Ioctl(fd_, VIDIOC_QUERYBUF, &buffer) != 0)
            return false;
        void* start = access_.Map(buffer.length, fd_, buffer.m.offset);
        if (!start)
            return false;
        buffers_.push_back({start, buffer.length});
        if (access_.Ioctl(fd_, VIDIOC_QBUF, &buffer) != 0)
            return false;
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    return access_.Ioctl(fd_, VIDIOC_STREAMON, &type) == 0;
}

void CNormalCameraHelper::StopStreaming()
{
    if (fd_ < 0)
        return;
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    access_.Ioctl(fd_, VIDIOC_STREAMOFF, &type);
    for (const Buffer& buffer : buffers_)
        access_.Unmap(buffer.start, buffer.length);
    buffers_.clear();
    v4l2_requestbuffers release {};
    release.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    release.memory = V4L2_MEMORY_MMAP;
    access_.Ioctl(fd_, VIDIOC_REQBUFS, &release);
}

void CNormalCameraHelper::CaptureLoop()
{
    while (running_) {
        pollfd wait {fd_, POLLIN, 0};
        const int ready = poll(&wait, 1, kWaitMilliseconds);
        if (ready < 0 && errno != EINTR) {
            Fail(errno);
            return;
        }
        if (ready > 0 && !CaptureOne(wait.revents))
            return;
    }
}

// Takes one filled buffer, hands its frame on and gives the buffer back; false once the device failed.
bool CNormalCameraHelper::CaptureOne(short events)
{
    v4l2_buffer buffer {};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (access_.Ioctl(fd_, VIDIOC_DQBUF, &buffer) != 0) {
        if (errno == EAGAIN && !(events & (POLLERR | POLLHUP | POLLNVAL)))
            return true;
        Fail(errno == EAGAIN ? EIO : errno);
        return false;
    }
    if (buffer.index < buffers_.size() && buffer.bytesused >= size_t(bytesPerLine_) * height_ &&
        buffers_[buffer.index].length >= size_t(bytesPerLine_) * height_)
        Deliver(static_cast<const uint8_t*>(buffers_[buffer.index].start));
    if (access_.Ioctl(fd_, VIDIOC_QBUF, &buffer) != 0) {
        Fail(errno);
        return false;
    }
    return true;
}

void CNormalCameraHelper::Fail(int error)
{
    failed_ = true;
    if (failureReport_)
        failureReport_("zendracam: capture device \"" + connectedName_ + "\" stopped: " + std::strerror(error));
}

void CNormalCameraHelper::Deliver(const uint8_t* data)
{
    // V4L2 rows run top-down; the frame is bottom-up, so start at the last row with a negative stride.
    const uint8_t* lastRow = data + size_t(height_ - 1) * bytesPerLine_;
    zendracam::ScaleNearest24(lastRow, int(width_), int(height_), -ptrdiff_t(bytesPerLine_), frame_.data(),
                              zendracam::kFrameWidth, zendracam::kFrameHeight, ptrdiff_t(zendracam::kFrameStride));
    notify_->OnVideoFrame(frame_.data(), frame_.size());
}
