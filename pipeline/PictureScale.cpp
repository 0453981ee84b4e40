#include "pipeline/PictureScale.h"

#include "zendracam/CameraTypes.h"

#include <array>

namespace {

constexpr int kW = zendracam::kFrameWidth;
constexpr int kH = zendracam::kFrameHeight;
constexpr size_t kStride = zendracam::kFrameStride;

}  // namespace

void ScalePictureNearest(const uint8_t* src, int w, int h, ptrdiff_t stride, uint8_t* frame)
{
    if (!src || w <= 0 || h <= 0)
        return;
    const double rx = w / double(kW);
    const double ry = h / double(kH);
    std::array<int, kW> column;
    for (int x = 0; x < kW; ++x)
        column[size_t(x)] = 3 * int(x * rx);
    for (int y = 0; y < kH; ++y) {
        const uint8_t* in = src + ptrdiff_t(int(y * ry)) * stride;
        uint8_t* out = frame + size_t(y) * kStride;
        for (int x = 0; x < kW; ++x) {
            const uint8_t* p = in + column[size_t(x)];
            out[3 * x] = p[0];
            out[3 * x + 1] = p[1];
            out[3 * x + 2] = p[2];
        }
    }
}

void ScalePictureBilinear(const uint8_t* src, int w1, int h1, ptrdiff_t stride, uint8_t* frame)
{
    if (!src || w1 <= 0 || h1 <= 0)
        return;
    constexpr uint32_t W = kW - 1, H = kH - 1, D = W * H;
    // Column offsets and weights depend only on the target column.
    std::array<uint32_t, kW> x0, x1, fxs;
    for (uint32_t i = 0; i < uint32_t(kW); ++i) {
        const uint32_t b = i * uint32_t(w1 - 1);
        const uint32_t sx = b / W, fx = W - b % W;
        x0[i] = 3 * sx;
        x1[i] = fx == W ? x0[i] : 3 * (sx + 1);
        fxs[i] = fx;
    }
    for (uint32_t j = 0; j < uint32_t(kH); ++j) {
        const uint32_t a = j * uint32_t(h1 - 1);
        const uint32_t sy = a / H, fy = H - a % H;
        const uint8_t* row0 = src + ptrdiff_t(sy) * stride;
        const uint8_t* row1 = fy == H ? row0 : src + ptrdiff_t(sy + 1) * stride;
        uint8_t* out = frame + size_t(j) * kStride;
        for (uint32_t i = 0; i < uint32_t(kW); ++i) {
            const uint32_t fx = fxs[i];
            const uint32_t w00 = fx * fy, w01 = (W - fx) * fy, w10 = fx * (H - fy), w11 = (W - fx) * (H - fy);
            for (uint32_t c = 0; c < 3; ++c)
                out[3 * i + c] = uint8_t((row0[x0[i] + c] * w00 + row0[x1[i] + c] * w01 + row1[x0[i] + c] * w10 +
                                          row1[x1[i] + c] * w11 + D / 2) / D);
        }
    }
}
