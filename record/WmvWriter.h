#pragma once
// A Windows Media file (ASF container, WMV2 video, WMA v2 audio) written from 32- or 24-bit bottom-up
// frames and 16-bit stereo PCM, with sample times taken from the wall clock since BeginWriting.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// Results in the style of the callers: 0 success, E_FAIL (a negative value) failure.
using WmvResult = int32_t;
constexpr WmvResult WMV_S_OK = 0;
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
    // One bottom-up frame of exactly bits/8 × height × width bytes.
    WmvResult WriteVideo(const uint8_t* bytes, uint32_t size);
    // 16-bit interleaved PCM in the audio input format; the block ends at the moment it is written.
    WmvResult WriteAudio(const uint8_t* bytes, uint32_t size);
    WmvResult EndWriting();

    WaveFormat audioFormat;
    const char* ProfileId() const { return profileId_; }

private:
    struct Output;
    int64_t Elapsed() const;
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
