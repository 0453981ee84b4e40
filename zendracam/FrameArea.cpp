#include "zendracam/FrameArea.h"

#include "zendracam/CameraTypes.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
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
constexpr off_t kSequenceOffset = offsetof(FrameAreaHeader, sequence);
// Readers give up on a frame after this many overlapping writes; the next poll tries again.
constexpr int kReadAttempts = 8;

uint8_t* FrameOf(FrameAreaHeader* header)
{
    return reinterpret_cast<uint8_t*>(header) + sizeof(FrameAreaHeader);
}

std::atomic_ref<uint32_t> SequenceOf(FrameAreaHeader* header)
{
    return std::atomic_ref<uint32_t>(header->sequence);
}

bool ReadAll(int fd, void* to, size_t bytes, off_t at)
{
    auto* out = static_cast<uint8_t*>(to);
    while (bytes > 0) {
        const ssize_t n = pread(fd, out, bytes, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        bytes -= size_t(n);
        at += n;
    }
    return true;
}

bool IsOurLayout(int fd)
{
    FrameAreaHeader header;
    return ReadAll(fd, &header, sizeof header, 0) && std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
           header.headerBytes == sizeof(FrameAreaHeader) && header.width == kFrameWidth &&
           header.height == kFrameHeight && header.bitCount == 24 && header.format == kFourccBgr3 &&
           header.frameBytes == kFrameBytes;
}

// A regular file of this user that no one else may open.
bool IsOwnPrivateFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

// Nothing at `path`, or a frame area of our own that we removed; false when something else is there.
bool RemoveStaleArea(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISREG(info.st_mode) || info.st_uid != geteuid())
        return false;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ours = IsOurLayout(fd);
    close(fd);
    return ours && unlink(path.c_str()) == 0;
}

}  // namespace

std::string DefaultFrameAreaPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime && runtime[0] == '/' && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == geteuid() && (info.st_mode & 077) == 0)
        return std::string(runtime) + "/" + kVirtualCameraName;
    return std::string("/dev/shm/") + kVirtualCameraName + "-" + std::to_string(geteuid());
}

CFrameAreaWriter::~CFrameAreaWriter()
{
    Close();
}

bool CFrameAreaWriter::Create(const std::string& path)
{
    Close();
    if (!RemoveStaleArea(path))
        return false;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat info {};
    bool usable = fstat(fd, &info) == 0 && IsOwnPrivateFile(info) && info.st_size == 0 &&
                  ftruncate(fd, off_t(kAreaBytes)) == 0 && fstat(fd, &info) == 0 &&
                  info.st_size == off_t(kAreaBytes);
    void* memory = usable ? mmap(nullptr, kAreaBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    close(fd);
    if (memory == MAP_FAILED) {
        unlink(path.c_str());
        return false;
    }
    header_ = static_cast<FrameAreaHeader*>(memory);
    path_ = path;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    // Readers check the magic, so a half-written header is never taken for a frame area.
    header_->headerBytes = sizeof(FrameAreaHeader);
    header_->width = kFrameWidth;
    header_->height = kFrameHeight;
    header_->bitCount = 24;
    header_->format = kFourccBgr3;
    header_->frameBytes = uint32_t(kFrameBytes);
    std::atomic_thread_fence(std::memory_order_release);
    std::memcpy(header_->magic, kMagic, sizeof kMagic);
    return true;
}

void CFrameAreaWriter::Publish(const uint8_t* frame)
{
    if (!header_)
        return;
    auto sequence = SequenceOf(header_);
    const uint32_t writing = sequence.load(std::memory_order_relaxed) | 1u;
    sequence.store(writing, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    std::memcpy(FrameOf(header_), frame, kFrameBytes);
    sequence.store(writing + 1, std::memory_order_release);
}

void CFrameAreaWriter::Republish()
{
    if (header_)
        SequenceOf(header_).fetch_add(2, std::memory_order_release);
}

void CFrameAreaWriter::Close()
{
    if (!header_)
        return;
    munmap(header_, kAreaBytes);
    header_ = nullptr;
    // Only our own file goes; another writer may have replaced it since.
    struct stat info {};
    if (lstat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_)
        unlink(path_.c_str());
}

CFrameAreaReader::~CFrameAreaReader()
{
    Close();
}

bool CFrameAreaReader::Open(const std::string& path)
{
    Close();
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !IsOwnPrivateFile(info) || size_t(info.st_size) < kAreaBytes || !IsOurLayout(fd)) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void CFrameAreaReader::Close()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

bool CFrameAreaReader::ReadNewer(uint8_t* frame, uint32_t& sequence) const
{
    if (fd_ < 0)
        return false;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        uint32_t before = 0, after = 0;
        if (!ReadAll(fd_, &before, sizeof before, kSequenceOffset) || before == sequence || before == 0)
            return false;
        if (before & 1u)
            continue;
        std::atomic_thread_fence(std::memory_order_acquire);
        if (!ReadAll(fd_, frame, kFrameBytes, sizeof(FrameAreaHeader)))
            return false;
        std::atomic_thread_fence(std::memory_order_acquire);
        if (!ReadAll(fd_, &after, sizeof after, kSequenceOffset))
            return false;
        if (after == before) {
            sequence = before;
            return true;
        }
    }
    return false;
}

}  // namespace zendracam
