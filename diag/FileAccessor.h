#pragma once
// Byte access to one file, opened with the mode flags below.
#include "diag/NameObject.h"

#include <cstddef>
#include <cstdint>

enum FileAccessMode : uint32_t {
    FILE_READ_WRITE = 0x1,  // otherwise read only
    FILE_SHARE_READ = 0x4,
    FILE_SHARE_WRITE = 0x8,
    FILE_CREATION_MASK = 0x70,
    FILE_OPEN_ALWAYS = 0x10,
    FILE_CREATE_NEW = 0x20,
    FILE_CREATE_ALWAYS = 0x30,
    FILE_TRUNCATE_EXISTING = 0x40,  // any other creation value opens an existing file
    FILE_HIDDEN = 0x100,
    FILE_READ_ONLY = 0x200,
    FILE_SYSTEM = 0x400,
    FILE_ARCHIVE = 0x800,
    FILE_NO_BUFFERING = 0x10000,
    FILE_WRITE_THROUGH = 0x20000,
    FILE_RANDOM_ACCESS = 0x40000,
    FILE_SEQUENTIAL_SCAN = 0x80000,
};

enum FileSeekOrigin : int { FILE_FROM_BEGIN = 0, FILE_FROM_CURRENT = 1, FILE_FROM_END = 2 };

class IFileAccessor : public CNameObject {
public:
    static const CClassRecord classRecord;
    const CClassRecord* GetClassRecord() const override { return &classRecord; }

    virtual bool Open(const char* path, uint32_t mode) = 0;
    virtual void Close() = 0;
    virtual int64_t GetSize() = 0;
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual bool IsAtEnd() = 0;
    // Moves to the 64-bit offset high:low from the origin.
    virtual bool Seek(uint32_t low, int32_t high, int origin) = 0;
    virtual int64_t GetPosition() = 0;
};
