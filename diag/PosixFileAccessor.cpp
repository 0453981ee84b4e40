#include "diag/PosixFileAccessor.h"

#include "fileio/FdIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const CClassRecord IFileAccessor::classRecord{"IFileAccessor", &CNameObject::classRecord, nullptr};

namespace {

CNameObject* CreatePosixFileAccessor()
{
    return new CPosixFileAccessor;
}

int OpenFlags(uint32_t mode)
{
    int flags = (mode & FILE_READ_WRITE) ? O_RDWR : O_RDONLY;
    switch (mode & FILE_CREATION_MASK) {
    case FILE_OPEN_ALWAYS: flags |= O_CREAT; break;
    case FILE_CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case FILE_CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case FILE_TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: break;
    }
    if (mode & FILE_WRITE_THROUGH)
        flags |= O_DSYNC;
    return flags | O_CLOEXEC;
}

}  // namespace

const CClassRecord CPosixFileAccessor::classRecord{"CPosixFileAccessor", &IFileAccessor::classRecord,
                                                   CreatePosixFileAccessor};

CPosixFileAccessor::~CPosixFileAccessor()
{
    Close();
}

bool CPosixFileAccessor::Open(const char* path, uint32_t mode)
{
    Close();
    if (!path)
        return false;
    // A new file gets the read-only attribute as permissions without write bits.
    const mode_t permissions = (mode & FILE_READ_ONLY) ? 0444 : 0644;
    do
        fd_ = ::open(path, OpenFlags(mode), permissions);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        return false;
    if (mode & FILE_SEQUENTIAL_SCAN)
        posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    else if (mode & FILE_RANDOM_ACCESS)
        posix_fadvise(fd_, 0, 0, POSIX_FADV_RANDOM);
    return true;
}

void CPosixFileAccessor::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int64_t CPosixFileAccessor::GetSize()
{
    struct stat info;
    return fd_ >= 0 && fstat(fd_, &info) == 0 ? int64_t(info.st_size) : 0;
}

size_t CPosixFileAccessor::Read(void* buffer, size_t count)
{
    return ReadFully(fd_, buffer, count);
}

size_t CPosixFileAccessor::Write(const void* buffer, size_t count)
{
    return WriteFully(fd_, buffer, count);
}

bool CPosixFileAccessor::IsAtEnd()
{
    return GetPosition() == GetSize();
}

bool CPosixFileAccessor::Seek(uint32_t low, int32_t high, int origin)
{
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (fd_ < 0 || origin < 0 || origin > 2)
        return false;
    const int64_t offset = int64_t((uint64_t(uint32_t(high)) << 32) | low);
    return ::lseek(fd_, off_t(offset), whence[origin]) >= 0;
}

int64_t CPosixFileAccessor::GetPosition()
{
    return fd_ >= 0 ? int64_t(::lseek(fd_, 0, SEEK_CUR)) : 0;
}
