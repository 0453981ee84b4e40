#pragma once
// Picture-in-picture: a reduced copy of the frame, cut to a shape by a mask picture, laid over the frame
// or over a background picture, optionally moving and growing frame by frame.
#include "effects/FileStamp.h"
#include "settings/Settings.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CPipOverlay {
public:
    // The copy's size as a fraction of the frame never starts above this.
    static constexpr double kMaxZoom = 0.6;

    // The group's movement, offsets, size (percent, at most 60) and opacity (percent), mask and
    // background. Whether the overlay is on is left alone.
    void SetPip(const SettingsRecord::InnerImgGroup& settings);
    void SetPipClose(bool close);
    void SetPipBackImage(const std::string& path);

    bool Enabled() const;
    // The frame step: draws into the frame, moves, then pauses 30 ms. Without a usable mask it does
    // nothing at all.
    void DrawPip(uint8_t* frame);

    struct State {
        int32_t FloatType, PosX, PosY;
        double Zoom, Opacity;
    };
    State CurrentState() const;

private:
    // A decoded picture kept while its file stays the same: a missing picture is looked for again, a
    // replaced one decoded again.
    struct Cached {
        FileStamp Stamp;
        bool Usable = false;
        std::vector<uint8_t> Bytes;
    };
    // Locked callers only.
    const Cached& Mask();
    const Cached& Background();
    void Move();
    void Blend(uint8_t* frame, int w, int h);

    mutable std::mutex mutex_;
    bool enabled_ = false;
    int32_t floatType_ = 1;
    int32_t posX_ = 0;
    int32_t posY_ = 0;
    double zoom_ = 0.1;
    double opacity_ = 0.9;
    std::string backImg_;
    std::string frontImg_;

    Cached mask_;        // the mask's blue bytes, 320×240, bottom row first
    Cached background_;  // the background stretched over the frame, laid out like it
    std::vector<uint8_t> copy_;  // B, G, R, A per pixel of the reduced copy
    // The mix of frame byte P and copy byte C where the mask is fully white, at index P × 256 + C, for
    // the opacity it was made for (most of a mask is black or white).
    std::vector<uint8_t> whiteMix_;
    double whiteMixOpacity_ = -1.0;
};
