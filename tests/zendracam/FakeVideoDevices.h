#pragma once
// Stand-in V4L2 capture devices behind the camera library's device seam: nodes with card and bus
// names, formats, mapped buffers, streaming and frames the test pushes, and a device that goes away.
// The descriptors are real eventfds numbered above FD_SETSIZE, readable while a frame waits, so the
// capture loop's own wait runs on them.
#include "zendracam/VideoDeviceAccess.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <unistd.h>

class FakeVideoDevices : public IVideoDeviceAccess {
public:
    static constexpr uint32_t kWidth = 320, kHeight = 240, kStride = kWidth * 3, kImageBytes = kStride * kHeight;
    static constexpr int kFirstFd = FD_SETSIZE + 100;

    struct Device {
        std::string card, bus;
        uint32_t caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        bool present = true;
        bool streaming = false;
        int streamFd = -1;
        int streamStarts = 0;
        std::vector<std::vector<uint8_t>> buffers;
        std::deque<uint32_t> queued, filled;
    };

    FakeVideoDevices()
    {
        rlimit limit {};
        getrlimit(RLIMIT_NOFILE, &limit);
        if (limit.rlim_cur < rlim_t(kFirstFd + 64) && limit.rlim_max >= rlim_t(kFirstFd + 64)) {
            limit.rlim_cur = kFirstFd + 64;
            setrlimit(RLIMIT_NOFILE, &limit);
        }
    }
    ~FakeVideoDevices() override
    {
        for (const auto& [fd, path] : open_)
            ::close(fd);
    }

    // Node /dev/video<n>.
    void Add(int n, const std::string& card, const std::string& bus,
             uint32_t caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING)
    {
        std::lock_guard lock(mutex_);
        Device& device = devices_[Path(n)];
        device.card = card;
        device.bus = bus;
        device.caps = caps;
    }
    static std::string Path(int n) { return "/dev/video" + std::to_string(n); }

    bool Streaming(int n)
    {
        std::lock_guard lock(mutex_);
        return devices_[Path(n)].streaming;
    }
    int StreamStarts(int n)
    {
        std::lock_guard lock(mutex_);
        return devices_[Path(n)].streamStarts;
    }
    size_t MappedBuffers()
    {
        std::lock_guard lock(mutex_);
        return mapped_;
    }
    size_t OpenDescriptors()
    {
        std::lock_guard lock(mutex_);
        return open_.size();
    }

    // Fills the next queued buffer of a streaming device with a top-down picture whose row y is `rowValue(y)`
    // throughout; false when no buffer is queued.
    template <typename RowValue>
    bool PushFrame(int n, RowValue rowValue)
    {
        std::lock_guard lock(mutex_);
        Device& device = devices_[Path(n)];
        if (!device.streaming || device.queued.empty())
            return false;
        const uint32_t index = device.queued.front();
        device.queued.pop_front();
        for (uint32_t y = 0; y < kHeight; ++y)
            std::memset(device.buffers[index].data() + y * kStride, rowValue(y), kStride);
        device.filled.push_back(index);
        Wake(device);
        return true;
    }

    // Unplugged: the capture wakes and finds the device gone; the node disappears.
    void Unplug(int n)
    {
        std::lock_guard lock(mutex_);
        Device& device = devices_[Path(n)];
        device.present = false;
        Wake(device);
    }
    void Replug(int n)
    {
        std::lock_guard lock(mutex_);
        devices_[Path(n)].present = true;
    }

    int Open(const char* path, int) override
    {
        std::lock_guard lock(mutex_);
        const auto it = devices_.find(path);
        if (it == devices_.end() || !it->second.present) {
            errno = ENOENT;
            return -1;
        }
        const int event = eventfd(0, EFD_SEMAPHORE | EFD_NONBLOCK | EFD_CLOEXEC);
        const int fd = fcntl(event, F_DUPFD_CLOEXEC, kFirstFd);
        ::close(event);
        if (fd < 0)
            return -1;
        open_[fd] = path;
        return fd;
    }

    int Close(int fd) override
    {
        std::lock_guard lock(mutex_);
        if (open_.erase(fd) == 0) {
            errno = EBADF;
            return -1;
        }
        for (auto& [path, device] : devices_)
            if (device.streamFd == fd)
                StopStream(device);
        return ::close(fd);
    }

    int Ioctl(int fd, unsigned long request, void* arg) override
    {
        std::lock_guard lock(mutex_);
        const auto it = open_.find(fd);
        if (it == open_.end())
            return Error(EBADF);
        Device& device = devices_[it->second];
        if (!device.present)
            return Error(ENODEV);
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto* caps = static_cast<v4l2_capability*>(arg);
            *caps = {};
            std::snprintf(reinterpret_cast<char*>(caps->card), sizeof caps->card, "%s", device.card.c_str());
            std::snprintf(reinterpret_cast<char*>(caps->bus_info), sizeof caps->bus_info, "%s", device.bus.c_str());
            caps->capabilities = device.caps | V4L2_CAP_DEVICE_CAPS;
            caps->device_caps = device.caps;
            return 0;
        }
        case VIDIOC_S_FMT:
        case VIDIOC_G_FMT: {
            auto& pix = static_cast<v4l2_format*>(arg)->fmt.pix;
            pix.width = kWidth;
            pix.height = kHeight;
            pix.pixelformat = V4L2_PIX_FMT_BGR24;
            pix.bytesperline = kStride;
            pix.sizeimage = kImageBytes;
            return 0;
        }
        case VIDIOC_ENUM_FMT: {
            auto* desc = static_cast<v4l2_fmtdesc*>(arg);
            const uint32_t formats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_BGR24};
            if (desc->index >= 3)
                return Error(EINVAL);
            desc->pixelformat = formats[desc->index];
            desc->flags = desc->index == 2 ? V4L2_FMT_FLAG_EMULATED : 0;
            return 0;
        }
        case VIDIOC_ENUM_FRAMESIZES: {
            auto* size = static_cast<v4l2_frmsizeenum*>(arg);
            const uint32_t sizes[][2] = {{640, 480}, {320, 240}};
            if (size->index >= 2)
                return Error(EINVAL);
            size->type = V4L2_FRMSIZE_TYPE_DISCRETE;
            size->discrete = {sizes[size->index][0], sizes[size->index][1]};
            return 0;
        }
        case VIDIOC_REQBUFS: {
            auto* request = static_cast<v4l2_requestbuffers*>(arg);
            if (device.streaming)
                return Error(EBUSY);
            device.buffers.assign(request->count, std::vector<uint8_t>(kImageBytes));
            device.queued.clear();
            device.filled.clear();
            return 0;
        }
        case VIDIOC_QUERYBUF: {
            auto* buffer = static_cast<v4l2_buffer*>(arg);
            if (buffer->index >= device.buffers.size())
                return Error(EINVAL);
            buffer->length = kImageBytes;
            buffer->m.offset = buffer->index * 0x100000;
            return 0;
        }
        case VIDIOC_QBUF: {
            auto* buffer = static_cast<v4l2_buffer*>(arg);
            if (buffer->index >= device.buffers.size())
                return Error(EINVAL);
            device.queued.push_back(buffer->index);
            return 0;
        }
        case VIDIOC_DQBUF: {
            if (!device.streaming || device.filled.empty())
                return Error(EAGAIN);
            auto* buffer = static_cast<v4l2_buffer*>(arg);
            buffer->index = device.filled.front();
            buffer->bytesused = kImageBytes;
            device.filled.pop_front();
            uint64_t one;
            [[maybe_unused]] const ssize_t got = ::read(fd, &one, sizeof one);
            return 0;
        }
        case VIDIOC_STREAMON:
            if (device.buffers.empty())
                return Error(EINVAL);
            device.streaming = true;
            device.streamFd = fd;
            ++device.streamStarts;
            return 0;
        case VIDIOC_STREAMOFF:
            StopStream(device);
            return 0;
        default:
            return Error(ENOTTY);
        }
    }

    void* Map(size_t length, int fd, int64_t offset) override
    {
        std::lock_guard lock(mutex_);
        const auto it = open_.find(fd);
        if (it == open_.end())
            return nullptr;
        Device& device = devices_[it->second];
        const size_t index = size_t(offset / 0x100000);
        if (index >= device.buffers.size() || length > device.buffers[index].size())
            return nullptr;
        ++mapped_;
        return device.buffers[index].data();
    }

    void Unmap(void*, size_t) override
    {
        std::lock_guard lock(mutex_);
        --mapped_;
    }

private:
    static int Error(int error)
    {
        errno = error;
        return -1;
    }
    static void Wake(Device& device)
    {
        if (device.streamFd < 0)
            return;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t put = ::write(device.streamFd, &one, sizeof one);
    }
    void StopStream(Device& device)
    {
        uint64_t one;
        while (device.streamFd >= 0 && ::read(device.streamFd, &one, sizeof one) > 0) {
        }
        device.streaming = false;
        device.streamFd = -1;
        device.queued.clear();
        device.filled.clear();
    }

    std::mutex mutex_;
    std::map<std::string, Device> devices_;
    std::map<int, std::string> open_;
    size_t mapped_ = 0;
};
