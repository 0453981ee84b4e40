#include "zendracam/PixelConvert.h"

namespace zendracam {

namespace {

inline uint8_t Luma(int r, int g, int b)
{
    return uint8_t(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

}  // namespace

void BgrBottomUpToYuv422(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride, bool uyvy)
{
    const size_t srcStride = size_t(width) * 3;
    const int yAt = uyvy ? 1 : 0;  // first luma byte of a pair
    const int uAt = uyvy ? 0 : 1;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = src + size_t(height - 1 - y) * srcStride;
        uint8_t* out = dst + size_t(y) * dstStride;
        for (int x = 0; x < width / 2; ++x) {
            const uint8_t* p = in + 6 * x;
            const int b0 = p[0], g0 = p[1], r0 = p[2], b1 = p[3], g1 = p[4], r1 = p[5];
            // Chroma of the pair's mean colour.
            const int b = (b0 + b1 + 1) >> 1, g = (g0 + g1 + 1) >> 1, r = (r0 + r1 + 1) >> 1;
            uint8_t* q = out + 4 * x;
            q[yAt] = Luma(r0, g0, b0);
            q[yAt + 2] = Luma(r1, g1, b1);
            q[uAt] = uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
            q[uAt + 2] = uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
        }
    }
}

void BgrBottomUpToTopDown24(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride, bool rgb)
{
    const size_t rowBytes = size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = src + size_t(height - 1 - y) * rowBytes;
        uint8_t* out = dst + size_t(y) * dstStride;
        if (!rgb) {
            for (size_t i = 0; i < rowBytes; ++i)
                out[i] = in[i];
            continue;
        }
        for (size_t i = 0; i < rowBytes; i += 3) {
            out[i] = in[i + 2];
            out[i + 1] = in[i + 1];
            out[i + 2] = in[i];
        }
    }
}

void Bgr0TopDownToBgrBottomUp(const uint8_t* src, size_t srcStride, int width, int height, uint8_t* dst)
{
    const size_t rowBytes = size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = src + size_t(y) * srcStride;
        uint8_t* out = dst + size_t(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
    }
}

}  // namespace zendracam
