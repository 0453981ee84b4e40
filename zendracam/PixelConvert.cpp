#include "zendracam/PixelConvert.h"

#include <tmmintrin.h>

namespace zendracam {

namespace {

inline uint8_t Luma(int r, int g, int b)
{
    return uint8_t(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

}  // namespace

namespace {

// One row, two pixels at a time.
void Yuv422RowScalar(const uint8_t* in, int width, uint8_t* out, bool uyvy)
{
    const int yAt = uyvy ? 1 : 0;  // first luma byte of a pair
    const int cAt = uyvy ? 0 : 1;
    for (int x = 0; x < width / 2; ++x) {
        const uint8_t* p = in + 6 * x;
        const int b0 = p[0], g0 = p[1], r0 = p[2], b1 = p[3], g1 = p[4], r1 = p[5];
        // Chroma of the pair's mean colour.
        const int b = (b0 + b1 + 1) >> 1, g = (g0 + g1 + 1) >> 1, r = (r0 + r1 + 1) >> 1;
        uint8_t* q = out + 4 * x;
        q[yAt] = Luma(r0, g0, b0);
        q[yAt + 2] = Luma(r1, g1, b1);
        q[cAt] = uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
        q[cAt + 2] = uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
    }
}

// The same arithmetic on eight pixels at a time in 16-bit lanes; returns how many pixels it did.
__attribute__((target("ssse3"))) int Yuv422RowSsse3(const uint8_t* in, int width, uint8_t* out, bool uyvy)
{
    // Channel c of pixel i sits at byte 3i + c of a 24-byte group; two overlapping 16-byte loads (at 0
    // and 8) cover it, and each mask moves one channel of either load into 16-bit lanes.
    const __m128i blueLo = _mm_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 12, -1, 15, -1, -1, -1, -1, -1);
    const __m128i blueHi = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 10, -1, 13, -1);
    const __m128i greenLo = _mm_setr_epi8(1, -1, 4, -1, 7, -1, 10, -1, 13, -1, -1, -1, -1, -1, -1, -1);
    const __m128i greenHi = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 8, -1, 11, -1, 14, -1);
    const __m128i redLo = _mm_setr_epi8(2, -1, 5, -1, 8, -1, 11, -1, 14, -1, -1, -1, -1, -1, -1, -1);
    const __m128i redHi = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 9, -1, 12, -1, 15, -1);
    const __m128i lowWords = _mm_set1_epi32(0xFFFF);
    const __m128i one = _mm_set1_epi32(1);
    const __m128i k128 = _mm_set1_epi16(128), k16 = _mm_set1_epi16(16);
    const auto pairMean = [&](__m128i v) {
        const __m128i sum = _mm_add_epi32(_mm_and_si128(v, lowWords), _mm_srli_epi32(v, 16));
        return _mm_srli_epi32(_mm_add_epi32(sum, one), 1);
    };
    const auto weigh = [](__m128i r, __m128i g, __m128i b, int wr, int wg, int wb) {
        return _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(r, _mm_set1_epi16(int16_t(wr))),
                                           _mm_mullo_epi16(g, _mm_set1_epi16(int16_t(wg)))),
                             _mm_mullo_epi16(b, _mm_set1_epi16(int16_t(wb))));
    };
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x + 8));
        const __m128i b = _mm_or_si128(_mm_shuffle_epi8(lo, blueLo), _mm_shuffle_epi8(hi, blueHi));
        const __m128i g = _mm_or_si128(_mm_shuffle_epi8(lo, greenLo), _mm_shuffle_epi8(hi, greenHi));
        const __m128i r = _mm_or_si128(_mm_shuffle_epi8(lo, redLo), _mm_shuffle_epi8(hi, redHi));
        // Luma: the weighted sum stays below 65536, so unsigned 16-bit lanes hold it.
        const __m128i y = _mm_add_epi16(_mm_srli_epi16(_mm_add_epi16(weigh(r, g, b, 66, 129, 25), k128), 8), k16);
        // Chroma of each pair, in the low word of each 32-bit lane; signed sums fit 16 bits.
        const __m128i mb = pairMean(b), mg = pairMean(g), mr = pairMean(r);
        const __m128i u = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(weigh(mr, mg, mb, -38, -74, 112), k128), 8), k128);
        const __m128i v = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(weigh(mr, mg, mb, 112, -94, -18), k128), 8), k128);
        const __m128i chroma = _mm_or_si128(_mm_and_si128(u, lowWords), _mm_slli_epi32(v, 16));  // U V U V ...
        const __m128i packed = uyvy ? _mm_or_si128(chroma, _mm_slli_epi16(y, 8)) : _mm_or_si128(y, _mm_slli_epi16(chroma, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), packed);
    }
    return x;
}

using VectorRow = int (*)(const uint8_t* in, int width, uint8_t* out, bool variant);
using ScalarRow = void (*)(const uint8_t* in, int width, uint8_t* out, bool variant);

// Converts a bottom-up frame into top-down rows of `dstStride` bytes, `outBytes` a pixel: each row
// with `vector` where the processor has SSSE3, and what that leaves over with `scalar`.
void EachRowTopDown(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride, int outBytes,
                    bool variant, VectorRow vector, ScalarRow scalar)
{
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    const size_t srcStride = size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = src + size_t(height - 1 - y) * srcStride;
        uint8_t* out = dst + size_t(y) * dstStride;
        const int done = ssse3 ? vector(in, width, out, variant) : 0;
        scalar(in + 3 * done, width - done, out + size_t(outBytes) * done, variant);
    }
}

}  // namespace

void BgrBottomUpToYuv422(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride, bool uyvy)
{
    EachRowTopDown(src, width, height, dst, dstStride, 2, uyvy, Yuv422RowSsse3, Yuv422RowScalar);
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

namespace {

void Row32Scalar(const uint8_t* in, int width, uint8_t* out, bool rgb)
{
    const int first = rgb ? 2 : 0, last = rgb ? 0 : 2;
    for (int x = 0; x < width; ++x) {
        out[4 * x] = in[3 * x + first];
        out[4 * x + 1] = in[3 * x + 1];
        out[4 * x + 2] = in[3 * x + last];
        out[4 * x + 3] = 255;
    }
}

// Four pixels at a time; each 16-byte load must stay inside the row, so the last pixels are left to
// the scalar loop. Returns how many pixels it did.
__attribute__((target("ssse3"))) int Row32Ssse3(const uint8_t* in, int width, uint8_t* out, bool rgb)
{
    const __m128i spread = rgb ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                               : _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000u));
    int x = 0;
    for (; 3 * x + 16 <= 3 * width; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_or_si128(_mm_shuffle_epi8(pixels, spread), opaque));
    }
    return x;
}

}  // namespace

void BgrBottomUpToTopDown32(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride, bool rgb)
{
    EachRowTopDown(src, width, height, dst, dstStride, 4, rgb, Row32Ssse3, Row32Scalar);
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
