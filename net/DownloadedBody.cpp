#include "net/DownloadedBody.h"

#include "fileio/FdIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

int MakeTemporary(std::string& name)
{
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
        name.assign(pattern.data());
        ::fchmod(fd, 0644);
    }
    return fd;
}

// Copies all of `from` (read from its start) into a new file that is then renamed to `path`.
bool CopyInto(int from, const std::string& path)
{
    std::string temp = path + ".partXXXXXX";
    const int to = MakeTemporary(temp);
    if (to < 0)
        return false;
    bool ok = ::lseek(from, 0, SEEK_SET) == 0;
    char block[65536];
    while (ok) {
        const size_t n = ReadFully(from, block, sizeof block);
        if (n == 0)
            break;
        ok = WriteFully(to, block, n) == n;
    }
    ok = ::close(to) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::optional<CDownloadedBody> CDownloadedBody::Create(const std::string& folder)
{
    std::string name = folder + "/tmpfileXXXXXX";
    const int fd = MakeTemporary(name);
    if (fd < 0)
        return std::nullopt;
    return CDownloadedBody(std::move(name), fd);
}

CDownloadedBody::CDownloadedBody(CDownloadedBody&& other) noexcept
    : path_(std::exchange(other.path_, {})), fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0))
{
}

CDownloadedBody& CDownloadedBody::operator=(CDownloadedBody&& other) noexcept
{
    if (this != &other) {
        Discard();
        path_ = std::exchange(other.path_, {});
        fd_ = std::exchange(other.fd_, -1);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

CDownloadedBody::~CDownloadedBody()
{
    Discard();
}

void CDownloadedBody::Discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!path_.empty())
        ::unlink(path_.c_str());
    fd_ = -1;
    path_.clear();
}

bool CDownloadedBody::Append(const char* data, size_t size)
{
    if (fd_ < 0 || WriteFully(fd_, data, size) != size)
        return false;
    size_ += int64_t(size);
    return true;
}

bool CDownloadedBody::MoveTo(const std::string& path)
{
    if (fd_ < 0)
        return false;
    if (std::rename(path_.c_str(), path.c_str()) != 0) {
        if (errno != EXDEV || !CopyInto(fd_, path))
            return false;
        ::unlink(path_.c_str());
    }
    ::close(fd_);
    fd_ = -1;
    path_.clear();
    return true;
}
