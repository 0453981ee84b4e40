#include "zendracam/VideoDeviceAccess.h"

#include <cerrno>

#include <libv4l2.h>
#include <sys/mman.h>

namespace {

class CLibv4l2Access final : public IVideoDeviceAccess {
public:
    int Open(const char* path, int flags) override { return v4l2_open(path, flags); }
    int Close(int fd) override { return v4l2_close(fd); }
    int Ioctl(int fd, unsigned long request, void* arg) override
    {
        int result;
        do
            result = v4l2_ioctl(fd, request, arg);
        while (result < 0 && errno == EINTR);
        return result;
    }
    void* Map(size_t length, int fd, int64_t offset) override
    {
        void* start = v4l2_mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
        return start == MAP_FAILED ? nullptr : start;
    }
    void Unmap(void* start, size_t length) override { v4l2_munmap(start, length); }
};

}  // namespace

IVideoDeviceAccess& Libv4l2Access()
{
    static CLibv4l2Access access;
    return access;
}
