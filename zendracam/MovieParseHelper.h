#pragma once
// Movie decoding through libmpv: the movie plays in real time (its sound through mpv's audio output)
// and the current picture is rendered in software into the 320×240 frame on demand.
#include "zendracam/CameraTypes.h"

#include <cstdint>
#include <memory>
#include <string>

struct mpv_handle;
struct mpv_render_context;

class CMovieParseHelper {
public:
    CMovieParseHelper();
    virtual ~CMovieParseHelper();
    CMovieParseHelper(const CMovieParseHelper&) = delete;
    CMovieParseHelper& operator=(const CMovieParseHelper&) = delete;

    // Opens the file and starts playing it. False, with nothing left open, when it cannot be played.
    bool Connect(const char* path);

    bool Play();
    bool Pause();
    // Ends playback and closes the file.
    bool Stop();

    // Renders the current picture into the frame. False when no movie is open.
    bool PrepareSampleData();
    // The frame rendered last (320×240 bottom-up BGR, valid until the next call), or null before the
    // first one.
    uint8_t* GetDataPointer();

    // Length and position in whole seconds.
    long GetMovieAllTime();
    long GetMovieCurrentTime();
    // Position as a fraction 0..1; -1 once the movie has ended.
    double GetCurrentPos();
    bool SetCurrentPos(double fraction);

    bool IsConnected() const { return mpv_ != nullptr; }

private:
    void Release();
    void PollEvents();
    double DoubleProperty(const char* name);

    static constexpr size_t kRenderStride = size_t(zendracam::kFrameWidth) * 4;

    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    bool ended_ = false;
    bool rendered_ = false;
    std::unique_ptr<uint8_t[], void (*)(void*)> pixels_;  // bgr0 rows from mpv, 64-byte aligned
    std::unique_ptr<uint8_t[]> frame_;
};
