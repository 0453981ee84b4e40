#include "zendracam/VideoNode.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zendracam {

namespace {

class CPosixVideoNode : public IVideoNode {
public:
    explicit CPosixVideoNode(int fd) : fd_(fd) {}
    ~CPosixVideoNode() override { close(fd_); }

    int Ioctl(unsigned long request, void* arg) override
    {
        int result;
        do
            result = ioctl(fd_, request, arg);
        while (result < 0 && errno == EINTR);
        return result < 0 ? -errno : 0;
    }

    bool Write(const uint8_t* data, size_t size) override
    {
        ssize_t written;
        do
            written = write(fd_, data, size);
        while (written < 0 && errno == EINTR);
        return written == ssize_t(size);
    }

private:
    const int fd_;
};

}  // namespace

std::unique_ptr<IVideoNode> OpenVideoNode(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<CPosixVideoNode>(fd);
}

}  // namespace zendracam
