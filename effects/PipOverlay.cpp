#include "effects/PipOverlay.h"

#include "effects/FrameBuffer.h"
#include "effects/Pacing.h"
#include "effects/PictureFile.h"

#include <QImage>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace {

// The decoder a background is opened with, by the last three characters of its path.
const char* BackgroundFormat(const std::string& path)
{
    if (path.size() < 3)
        return nullptr;
    std::string ending = path.substr(path.size() - 3);
    for (char& c : ending)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ending == "jpg")
        return "jpeg";
    if (ending == "png")
        return "png";
    if (ending == "bmp")
        return "bmp";
    return nullptr;
}

}  // namespace

void CPipOverlay::SetPip(const SettingsRecord::InnerImgGroup& settings)
{
    std::lock_guard lock(mutex_);
    floatType_ = settings.FloatType;
    posX_ = settings.HOffset;
    posY_ = settings.VOffset;
    zoom_ = std::min(settings.ZoomSize / 100.0, kMaxZoom);
    opacity_ = settings.Contrast / 100.0;
    frontImg_ = settings.FrontImg;
    backImg_ = settings.BackImg;
}

void CPipOverlay::SetPipClose(bool close)
{
    std::lock_guard lock(mutex_);
    enabled_ = !close;
}

void CPipOverlay::SetPipBackImage(const std::string& path)
{
    std::lock_guard lock(mutex_);
    backImg_ = path;
}

bool CPipOverlay::Enabled() const
{
    std::lock_guard lock(mutex_);
    return enabled_;
}

CPipOverlay::State CPipOverlay::CurrentState() const
{
    std::lock_guard lock(mutex_);
    return {floatType_, posX_, posY_, zoom_, opacity_};
}

const CPipOverlay::Cached& CPipOverlay::Mask()
{
    FileStamp stamp = FileStamp::Of(frontImg_);
    if (mask_.Stamp == stamp)
        return mask_;
    mask_ = {std::move(stamp), false, {}};
    const QImage picture = ReadPictureFile(frontImg_, "jpeg");
    if (picture.width() != kFrameWidth || picture.height() != kFrameHeight)
        return mask_;
    // Grey-scale and paletted masks alike are read through 24-bit pixels.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    mask_.Bytes.resize(size_t(kFrameWidth) * kFrameHeight);
    for (int r = 0; r < kFrameHeight; ++r) {
        const uchar* line = rgb.constScanLine(kFrameHeight - 1 - r);
        for (int c = 0; c < kFrameWidth; ++c)
            mask_.Bytes[size_t(r) * kFrameWidth + c] = line[3 * c + 2];
    }
    mask_.Usable = true;
    return mask_;
}

const CPipOverlay::Cached& CPipOverlay::Background()
{
    FileStamp stamp = FileStamp::Of(backImg_);
    if (background_.Stamp == stamp)
        return background_;
    background_ = {std::move(stamp), false, {}};
    const char* format = BackgroundFormat(backImg_);
    if (!format)
        return background_;
    const QImage picture = ReadPictureFile(backImg_, format);
    if (picture.isNull())
        return background_;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const int bw = rgb.width(), bh = rgb.height();
    background_.Bytes.resize(kFrameBytes);
    for (int r = 0; r < kFrameHeight; ++r) {
        const int sourceRow = int(r * bh / 240.0);  // counted from the bottom
        const uchar* line = rgb.constScanLine(bh - 1 - sourceRow);
        uint8_t* dst = &background_.Bytes[size_t(r) * kFrameStride];
        for (int c = 0; c < kFrameWidth; ++c) {
            const uchar* p = line + 3 * int(c * bw / 320.0);
            dst[3 * c] = p[2];
            dst[3 * c + 1] = p[1];
            dst[3 * c + 2] = p[0];
        }
    }
    background_.Usable = true;
    return background_;
}

void CPipOverlay::Move()
{
    switch (floatType_) {
    case 1:
        ++posX_;
        ++posY_;
        zoom_ += 0.005;
        break;
    case 2:
        ++posX_;
        ++posY_;
        break;
    case 3:
        ++posX_;
        break;
    case 4:
        ++posY_;
        break;
    default:
        break;
    }
}

void CPipOverlay::Blend(uint8_t* frame, int w, int h)
{
    // Each channel becomes trunc(P × (1 − a) + C × a) with a = A / 255 × opacity, in double precision.
    double keep[256], take[256];
    for (int a = 0; a < 256; ++a) {
        take[a] = (a / 255.0) * opacity_;
        keep[a] = 1.0 - take[a];
    }
    auto mix = [&](int p, int c, int a) {
        return uint8_t(std::clamp(std::trunc(p * keep[a] + c * take[a]), 0.0, 255.0));
    };
    if (whiteMixOpacity_ != opacity_) {
        whiteMix_.resize(256 * 256);
        for (int p = 0; p < 256; ++p)
            for (int c = 0; c < 256; ++c)
                whiteMix_[p * 256 + c] = mix(p, c, 255);
        whiteMixOpacity_ = opacity_;
    }
    for (int r = 0; r < h; ++r) {
        uint8_t* dst = frame + size_t(posY_ + r) * kFrameStride + size_t(posX_) * 3;
        const uint8_t* src = &copy_[size_t(r) * w * 4];
        for (int c = 0; c < w; ++c) {
            const int a = src[4 * c + 3];
            uint8_t* p = dst + 3 * c;
            const uint8_t* q = src + 4 * c;
            if (a == 255) {
                for (int k = 0; k < 3; ++k)
                    p[k] = whiteMix_[p[k] * 256 + q[k]];
            } else if (a != 0) {  // where the mask is black the frame stays exactly as it is
                for (int k = 0; k < 3; ++k)
                    p[k] = mix(p[k], q[k], a);
            }
        }
    }
}

void CPipOverlay::DrawPip(uint8_t* frame)
{
    {
        std::lock_guard lock(mutex_);
        if (frontImg_.empty())
            return;
        const Cached& mask = Mask();
        if (!mask.Usable)
            return;

        // The copy's size and sampling step, in single precision.
        const float z = float(zoom_);
        const int w = std::clamp(int(320.0f * z), 0, kFrameWidth);
        const int h = std::clamp(int(z * 240.0f), 0, kFrameHeight);
        const float s = 1.0f / z;

        // The reduced copy, taken before any background is laid: B, G, R of the frame, A of the mask.
        copy_.resize(size_t(w) * h * 4);
        std::vector<int> columns(w);
        for (int c = 0; c < w; ++c)
            columns[c] = std::min(int(float(c) * s), kFrameWidth - 1);
        for (int r = 0; r < h; ++r) {
            const int row = std::min(int(float(r) * s), kFrameHeight - 1);
            const uint8_t* src = frame + size_t(row) * kFrameStride;
            const uint8_t* alpha = &mask.Bytes[size_t(row) * kFrameWidth];
            uint8_t* dst = &copy_[size_t(r) * w * 4];
            for (int c = 0; c < w; ++c) {
                std::memcpy(dst + 4 * c, src + 3 * columns[c], 3);
                dst[4 * c + 3] = alpha[columns[c]];
            }
        }

        if (zoom_ > kMaxZoom)
            zoom_ = 0.1;
        // Offsets below 0 would place the copy outside the frame; they start at the edge instead.
        if (posY_ < 0 || int64_t(posY_) + h > kFrameHeight)
            posY_ = 0;
        if (posX_ < 0 || int64_t(posX_) + w > kFrameWidth)
            posX_ = 0;

        if (!backImg_.empty()) {
            const Cached& background = Background();
            if (background.Usable)
                std::memcpy(frame, background.Bytes.data(), kFrameBytes);
        }

        Blend(frame, w, h);
        Move();
    }
    PaceFrame(30);
}
