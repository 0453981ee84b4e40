#pragma once
// Movie decoding through libmpv: the movie plays in real time (its sound through mpv's audio output)
// and the current picture is rendered in software into the 320×240 frame on demand. A file opens in
// the background: frames come once it has opened, and one that does not open ends at once.
#include "zendracam/CameraTypes.h"

#include <cstdint>
#include <memory>
#include <string>

struct mpv_handle;
struct mpv_render_context;

// libmpv works only while numbers are formatted the C way. Call once, right after the application object
// (which takes the locale from the environment) is built and before the program starts threads of its
// own; the decoder never changes the locale itself.
void PrepareMovieLocale();

class CMovieParseHelper {
public:
    CMovieParseHelper();
    virtual ~CMovieParseHelper();
    CMovieParseHelper(const CMovieParseHelper&) = delete;
    CMovieParseHelper& operator=(const CMovieParseHelper&) = delete;

    // Starts opening the file; it plays as soon as it is open. False, with nothing left open, when the
    // opening cannot even start; a file that turns out to be no movie ends (position -1) instead.
    bool Connect(const char* path);

    bool Play();
    bool Pause();
    // Ends playback and closes the file.
    bool Stop();

    // Renders the current picture into the frame. False while no movie is open.
    bool PrepareSampleData();
    // The frame rendered last (320×240 bottom-up BGR, valid until the next call), or null before the
    // first one.
    uint8_t* GetDataPointer();

    // Length and position in whole seconds.
    long GetMovieAllTime();
    long GetMovieCurrentTime();
    // Position as a fraction 0..1 (0 while opening); -1 once the movie has ended, when it could not be
    // opened and when none is connected.
    double GetCurrentPos();
    bool SetCurrentPos(double fraction);

    bool IsConnected() const { return mpv_ != nullptr; }
    bool IsOpen() const { return state_ == State::Open; }

private:
    enum class State { Closed, Opening, Open, Ended };
    void Release();
    void PollEvents();
    double DoubleProperty(const char* name);

    static constexpr size_t kRenderStride = size_t(zendracam::kFrameWidth) * 4;

    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    State state_ = State::Closed;
    double openingSince_ = 0;  // seconds on the steady clock
    bool rendered_ = false;
    std::unique_ptr<uint8_t[], void (*)(void*)> pixels_;  // bgr0 rows from mpv, 64-byte aligned
    std::unique_ptr<uint8_t[]> frame_;
};
