#pragma once
// A Windows Media file (ASF container, WMV2 video, WMA v2 audio) written from 32- or 24-bit bottom-up
// frames and 16-bit stereo PCM, with sample times taken from the wall clock since BeginWriting. The
// video encoder counts in frames of the recorder's pace, so that its rate control budgets the
// profile's bitrate over the frames that really come.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// Results in the style of the callers: 0 success, E_FAIL (a negative value) failure.
using WmvResult = int32_t;
constexpr WmvResult WMV_S_OK = 0;
constexpr WmvResult WMV_S_FALSE = 1;  // a frame not written: its frame slot holds one already
constexpr WmvResult WMV_E_FAIL = int32_t(0x80004005u);

struct WaveFormat {
    uint16_t formatTag = 1;  // PCM
    uint16_t channels = 2;
    uint32_t samplesPerSec = 22050;
    uint32_t avgBytesPerSec = 88200;
    uint16_t blockAlign = 4;
    uint16_t bitsPerSample = 16;
};

// Wall-clock time in 100 ns units (any fixed origin); the writer only takes differences.
using FileTimeClock = std::function<int64_t()>;
int64_t SystemFileTime();

constexpr int64_t kFileTicksPerSecond = 10000000;
// The recorder hands over one frame per 75 ms; the file's frame slots are that long.
constexpr int64_t kRecordFrameTicks = 750000;

class CWmvWriter {
public:
    explicit CWmvWriter(FileTimeClock clock = SystemFileTime);
    virtual ~CWmvWriter();
    CWmvWriter(const CWmvWriter&) = delete;
    CWmvWriter& operator=(const CWmvWriter&) = delete;

    WmvResult Init();
    // Chooses the profile by size and bits (160x120 or 112, 176x144 at 24 bits; 320x240 at 24 or 32),
    // creates the file (an existing one is replaced) and prepares the encoders. Without `withAudio` the
    // file gets the video stream only.
    WmvResult Configure(const std::string& path, int height, int width, int bitsPerPixel,
                        bool withAudio = true);
    WmvResult BeginWriting();
    // One bottom-up frame of exactly bits/8 × height × width bytes, taken at `capturedAt` on the
    // writer's clock (now when not given). It goes into the frame slot nearest to that time;
    // WMV_S_FALSE when that slot or a later one already holds a frame.
    WmvResult WriteVideo(const uint8_t* bytes, uint32_t size);
    WmvResult WriteVideo(const uint8_t* bytes, uint32_t size, int64_t capturedAt);
    // 16-bit interleaved PCM in the audio input format, whose last sample was captured at `endedAt`
    // (now when not given). Blocks follow each other without a gap from the start of writing, unless
    // one ends clearly later than the sound so far does (a pause): the stream then skips ahead.
    WmvResult WriteAudio(const uint8_t* bytes, uint32_t size);
    WmvResult WriteAudio(const uint8_t* bytes, uint32_t size, int64_t endedAt);
    WmvResult EndWriting();

    WaveFormat audioFormat;
    const char* ProfileId() const { return profileId_; }

private:
    struct Output;
    void Release();

    FileTimeClock clock_;
    std::mutex lock_;  // the writer thread's frames and the user-interface thread's sound meet here
    std::unique_ptr<Output> out_;
    const char* profileId_ = nullptr;
    int height_ = 0;
    int width_ = 0;
    int bitsPerPixel_ = 0;
    int64_t startTime_ = 0;
};
