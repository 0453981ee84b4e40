#pragma once
// IFileAccessor on a POSIX file descriptor (-1 while closed).
#include "diag/FileAccessor.h"

class CPosixFileAccessor : public IFileAccessor {
public:
    static const CClassRecord classRecord;
    const CClassRecord* GetClassRecord() const override { return &classRecord; }

    CPosixFileAccessor() = default;
    ~CPosixFileAccessor() override;

    bool Open(const char* path, uint32_t mode) override;
    void Close() override;
    int64_t GetSize() override;
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    bool IsAtEnd() override;
    bool Seek(uint32_t low, int32_t high, int origin) override;
    int64_t GetPosition() override;

    bool IsOpen() const { return fd_ >= 0; }
    // For writers that may not take the accessor's path (a signal handler); -1 while closed.
    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
};
