#pragma once
// The virtual camera's shared-memory frame area: a header and the latest frame. One writer publishes
// frames under a sequence number that is odd while a frame is being copied, so a reader that sees the
// same even number before and after its copy holds a whole frame.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zendracam {

struct FrameAreaHeader {
    char magic[8];               // "ZNDRCAM1"
    uint32_t headerBytes;        // sizeof(FrameAreaHeader); the frame follows at this offset
    uint32_t width;              // 320
    uint32_t height;             // 240
    uint32_t bitCount;           // 24
    uint32_t format;             // fourcc "BGR3", rows bottom-up
    uint32_t frameBytes;         // 230400
    std::atomic<uint32_t> sequence;  // 0 before the first frame; odd while writing
    uint32_t reserved;
};
static_assert(std::atomic<uint32_t>::is_always_lock_free, "the sequence is shared between processes");

class CFrameAreaWriter {
public:
    CFrameAreaWriter() = default;
    ~CFrameAreaWriter();
    CFrameAreaWriter(const CFrameAreaWriter&) = delete;
    CFrameAreaWriter& operator=(const CFrameAreaWriter&) = delete;

    // Creates (or takes over) the area `name` and marks it empty.
    bool Create(const std::string& name);
    // Copies one frame of frameBytes bytes in.
    void Publish(const uint8_t* frame);
    // Unmaps and removes the name.
    void Close();
    bool IsOpen() const { return header_ != nullptr; }

private:
    std::string name_;
    FrameAreaHeader* header_ = nullptr;
    size_t mappedBytes_ = 0;
};

class CFrameAreaReader {
public:
    CFrameAreaReader() = default;
    ~CFrameAreaReader();
    CFrameAreaReader(const CFrameAreaReader&) = delete;
    CFrameAreaReader& operator=(const CFrameAreaReader&) = delete;

    // Maps the area read-only; false when it does not exist or is not a frame area of our layout.
    bool Open(const std::string& name);
    void Close();
    bool IsOpen() const { return header_ != nullptr; }

    // When a frame newer than `sequence` is there, copies it (frameBytes bytes) into `frame`, updates
    // `sequence` and returns true.
    bool ReadNewer(uint8_t* frame, uint32_t& sequence) const;

private:
    const FrameAreaHeader* header_ = nullptr;
    size_t mappedBytes_ = 0;
};

}  // namespace zendracam
