#include "zendracam/MovieParseHelper.h"

#include "zendracam/PixelConvert.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// A file that has not opened after this long counts as one that cannot be opened.
constexpr double kOpenTimeoutSeconds = 10.0;

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void PrepareMovieLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}

CMovieParseHelper::CMovieParseHelper()
    : pixels_(static_cast<uint8_t*>(std::aligned_alloc(64, kRenderStride * zendracam::kFrameHeight)), std::free),
      frame_(new uint8_t[zendracam::kFrameBytes]())
{
}

CMovieParseHelper::~CMovieParseHelper()
{
    Release();
}

bool CMovieParseHelper::Connect(const char* path)
{
    Release();
    if (!path || !*path || !pixels_)
        return false;
    mpv_ = mpv_create();  // null while numbers are not formatted the C way: see PrepareMovieLocale
    if (!mpv_)
        return false;
    mpv_set_option_string(mpv_, "vo", "libmpv");
    mpv_set_option_string(mpv_, "hwdec", "no");
    // Without a sound device mpv's own choice ends playback with an error; "null" keeps real-time play.
    mpv_set_option_string(mpv_, "ao", "pulse,alsa,null");
    mpv_set_option_string(mpv_, "idle", "yes");
    mpv_set_option_string(mpv_, "input-default-bindings", "no");
    mpv_set_option_string(mpv_, "osc", "no");
    if (mpv_initialize(mpv_) < 0) {
        Release();
        return false;
    }
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, mpv_, params) < 0) {
        render_ = nullptr;
        Release();
        return false;
    }
    const char* command[] = {"loadfile", path, nullptr};
    if (mpv_command(mpv_, command) < 0) {
        Release();
        return false;
    }
    state_ = State::Opening;
    openingSince_ = SteadySeconds();
    return true;
}

void CMovieParseHelper::Release()
{
    if (render_)
        mpv_render_context_free(render_);
    render_ = nullptr;
    if (mpv_)
        mpv_terminate_destroy(mpv_);
    mpv_ = nullptr;
    state_ = State::Closed;
    rendered_ = false;
}

void CMovieParseHelper::PollEvents()
{
    if (!mpv_)
        return;
    for (;;) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        if (event->event_id == MPV_EVENT_FILE_LOADED && state_ == State::Opening)
            state_ = State::Open;
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN)
            state_ = State::Ended;
    }
    if (state_ == State::Opening && SteadySeconds() - openingSince_ > kOpenTimeoutSeconds)
        state_ = State::Ended;
}

bool CMovieParseHelper::Play()
{
    return mpv_ && mpv_set_property_string(mpv_, "pause", "no") >= 0;
}

bool CMovieParseHelper::Pause()
{
    return mpv_ && mpv_set_property_string(mpv_, "pause", "yes") >= 0;
}

bool CMovieParseHelper::Stop()
{
    const bool wasOpen = mpv_ != nullptr;
    Release();
    return wasOpen;
}

bool CMovieParseHelper::PrepareSampleData()
{
    PollEvents();
    // After the end the last picture stays: GetDataPointer keeps handing it out.
    if (!render_ || state_ != State::Open)
        return false;
    mpv_render_context_update(render_);
    int size[2] = {zendracam::kFrameWidth, zendracam::kFrameHeight};
    size_t stride = kRenderStride;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, size},
        {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},
        {MPV_RENDER_PARAM_SW_POINTER, pixels_.get()},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(render_, params) < 0)
        return false;
    zendracam::Bgr0TopDownToBgrBottomUp(pixels_.get(), kRenderStride, zendracam::kFrameWidth,
                                        zendracam::kFrameHeight, frame_.get());
    rendered_ = true;
    return true;
}

uint8_t* CMovieParseHelper::GetDataPointer()
{
    return mpv_ && rendered_ ? frame_.get() : nullptr;
}

double CMovieParseHelper::DoubleProperty(const char* name)
{
    double value = 0;
    if (!mpv_ || mpv_get_property(mpv_, name, MPV_FORMAT_DOUBLE, &value) < 0 || !std::isfinite(value))
        return 0;
    return value;
}

long CMovieParseHelper::GetMovieAllTime()
{
    return long(DoubleProperty("duration"));
}

long CMovieParseHelper::GetMovieCurrentTime()
{
    return long(DoubleProperty("time-pos"));
}

double CMovieParseHelper::GetCurrentPos()
{
    PollEvents();
    if (state_ == State::Closed || state_ == State::Ended)
        return -1;
    return DoubleProperty("percent-pos") / 100.0;
}

bool CMovieParseHelper::SetCurrentPos(double fraction)
{
    PollEvents();
    if (state_ != State::Open || !std::isfinite(fraction))
        return false;
    const std::string percent = std::to_string(std::clamp(fraction, 0.0, 1.0) * 100.0);
    const char* command[] = {"seek", percent.c_str(), "absolute-percent+exact", nullptr};
    return mpv_command(mpv_, command) >= 0;
}
