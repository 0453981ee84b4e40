#pragma once
// The virtual camera's shared-memory frame area: a file of the user's own holding a header and the
// latest frame. One writer publishes frames under a sequence number that is odd while a frame is being
// copied, so a reader that sees the same even number before and after its copy holds a whole frame.
#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/types.h>

namespace zendracam {

struct FrameAreaHeader {
    char magic[8];        // "ZNDRCAM1"
    uint32_t headerBytes; // sizeof(FrameAreaHeader); the frame follows at this offset
    uint32_t width;       // 320
    uint32_t height;      // 240
    uint32_t bitCount;    // 24
    uint32_t format;      // fourcc "BGR3", rows bottom-up
    uint32_t frameBytes;  // 230400
    uint32_t sequence;    // 0 before the first frame; odd while writing; the writer changes it atomically
    uint32_t reserved;
};

// Where the area lives: "ZENDRA Capture" in $XDG_RUNTIME_DIR when that is the user's own private
// folder, else "/dev/shm/ZENDRA Capture-UID".
std::string DefaultFrameAreaPath();

class CFrameAreaWriter {
public:
    CFrameAreaWriter() = default;
    ~CFrameAreaWriter();
    CFrameAreaWriter(const CFrameAreaWriter&) = delete;
    CFrameAreaWriter& operator=(const CFrameAreaWriter&) = delete;

    // Creates the area at `path` with mode 0600, after removing a stale area of our own there; false
    // when anything else is there or the new file is not ours alone.
    bool Create(const std::string& path);
    // Copies one frame of frameBytes bytes in.
    void Publish(const uint8_t* frame);
    // Publishes the frame already there once more.
    void Republish();
    // Unmaps and removes the file.
    void Close();
    bool IsOpen() const { return header_ != nullptr; }

private:
    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    FrameAreaHeader* header_ = nullptr;
};

class CFrameAreaReader {
public:
    CFrameAreaReader() = default;
    ~CFrameAreaReader();
    CFrameAreaReader(const CFrameAreaReader&) = delete;
    CFrameAreaReader& operator=(const CFrameAreaReader&) = delete;

    // False when there is no area at `path`, or it is not the user's own private file of our layout.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // When a frame newer than `sequence` is there, copies it (frameBytes bytes) into `frame`, updates
    // `sequence` and returns true. An area cut short under the reader gives false, never a fault.
    bool ReadNewer(uint8_t* frame, uint32_t& sequence) const;

private:
    int fd_ = -1;
};

}  // namespace zendracam
