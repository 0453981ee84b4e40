#pragma once
// The calls a capture device is driven through: libv4l2 (which turns any camera format into BGR24) on
// a real machine, a stand-in device in tests. The descriptors it hands out are real ones that poll can
// wait on.
#include <cstddef>
#include <cstdint>

class IVideoDeviceAccess {
public:
    virtual ~IVideoDeviceAccess() = default;
    virtual int Open(const char* path, int flags) = 0;
    virtual int Close(int fd) = 0;
    // Retries while interrupted; -1 with errno set on failure.
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    // Null on failure.
    virtual void* Map(size_t length, int fd, int64_t offset) = 0;
    virtual void Unmap(void* start, size_t length) = 0;
};

// The real devices, through libv4l2.
IVideoDeviceAccess& Libv4l2Access();
