#include "zendracam/FrameArea.h"

#include "zendracam/CameraTypes.h"

#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zendracam {

namespace {

constexpr char kMagic[8] = {'Z', 'N', 'D', 'R', 'C', 'A', 'M', '1'};
constexpr uint32_t kFourccBgr3 = 'B' | ('G' << 8) | ('R' << 16) | ('3' << 24);
constexpr size_t kAreaBytes = sizeof(FrameAreaHeader) + kFrameBytes;
// Readers give up on a frame after this many overlapping writes; the next poll tries again.
constexpr int kReadAttempts = 8;

uint8_t* FrameOf(const FrameAreaHeader* header)
{
    return reinterpret_cast<uint8_t*>(const_cast<FrameAreaHeader*>(header)) + sizeof(FrameAreaHeader);
}

}  // namespace

CFrameAreaWriter::~CFrameAreaWriter()
{
    Close();
}

bool CFrameAreaWriter::Create(const std::string& name)
{
    Close();
    const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT, 0644);
    if (fd < 0)
        return false;
    if (ftruncate(fd, off_t(kAreaBytes)) != 0) {
        close(fd);
        return false;
    }
    void* memory = mmap(nullptr, kAreaBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (memory == MAP_FAILED)
        return false;
    header_ = static_cast<FrameAreaHeader*>(memory);
    mappedBytes_ = kAreaBytes;
    name_ = name;
    // Readers check the magic last, so a half-written header is never taken for a frame area.
    std::memset(header_->magic, 0, sizeof header_->magic);
    header_->headerBytes = sizeof(FrameAreaHeader);
    header_->width = kFrameWidth;
    header_->height = kFrameHeight;
    header_->bitCount = 24;
    header_->format = kFourccBgr3;
    header_->frameBytes = uint32_t(kFrameBytes);
    header_->sequence.store(0, std::memory_order_relaxed);
    std::memset(FrameOf(header_), 0, kFrameBytes);
    std::atomic_thread_fence(std::memory_order_release);
    std::memcpy(header_->magic, kMagic, sizeof kMagic);
    return true;
}

void CFrameAreaWriter::Publish(const uint8_t* frame)
{
    if (!header_)
        return;
    const uint32_t sequence = header_->sequence.load(std::memory_order_relaxed);
    const uint32_t writing = (sequence | 1u) == sequence ? sequence + 2 : sequence + 1;
    header_->sequence.store(writing, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    std::memcpy(FrameOf(header_), frame, kFrameBytes);
    header_->sequence.store(writing + 1, std::memory_order_release);
}

void CFrameAreaWriter::Close()
{
    if (!header_)
        return;
    munmap(header_, mappedBytes_);
    shm_unlink(name_.c_str());
    header_ = nullptr;
}

CFrameAreaReader::~CFrameAreaReader()
{
    Close();
}

bool CFrameAreaReader::Open(const std::string& name)
{
    Close();
    const int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0)
        return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || size_t(info.st_size) < kAreaBytes) {
        close(fd);
        return false;
    }
    void* memory = mmap(nullptr, kAreaBytes, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (memory == MAP_FAILED)
        return false;
    const auto* header = static_cast<const FrameAreaHeader*>(memory);
    const bool ours = std::memcmp(header->magic, kMagic, sizeof kMagic) == 0 &&
                      header->headerBytes == sizeof(FrameAreaHeader) && header->width == kFrameWidth &&
                      header->height == kFrameHeight && header->bitCount == 24 && header->format == kFourccBgr3 &&
                      header->frameBytes == kFrameBytes;
    if (!ours) {
        munmap(memory, kAreaBytes);
        return false;
    }
    header_ = header;
    mappedBytes_ = kAreaBytes;
    return true;
}

void CFrameAreaReader::Close()
{
    if (!header_)
        return;
    munmap(const_cast<FrameAreaHeader*>(header_), mappedBytes_);
    header_ = nullptr;
}

bool CFrameAreaReader::ReadNewer(uint8_t* frame, uint32_t& sequence) const
{
    if (!header_)
        return false;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const uint32_t before = header_->sequence.load(std::memory_order_acquire);
        if (before == sequence || before == 0)
            return false;
        if (before & 1u)
            continue;
        std::memcpy(frame, FrameOf(header_), kFrameBytes);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (header_->sequence.load(std::memory_order_relaxed) == before) {
            sequence = before;
            return true;
        }
    }
    return false;
}

}  // namespace zendracam
