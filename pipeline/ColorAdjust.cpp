#include "pipeline/ColorAdjust.h"

#include <algorithm>
#include <cstddef>

#include <emmintrin.h>

namespace {

// Channel offsets beyond ±255 clamp every byte the same way as ±255. In the vector path quotients stay
// below 656, so a final offset beyond ±1000 clamps the same way as ±1000; bounding both keeps all sums
// inside 16 bits.
constexpr int kMaxChannelOffset = 255;
constexpr long long kMaxVectorOffset = 1000;

// Widest contrast whose products with a byte still fit an unsigned 16-bit lane.
constexpr int kMaxVectorContrast = 65535 / 255;

struct Params {
    int channelOffset[3];  // blue, green, red
    int contrast;
    long long offset;      // brightness + pivot term
};

uint8_t Clamp255(long long v)
{
    return uint8_t(std::clamp<long long>(v, 0, 255));
}

uint8_t AdjustChannel(uint8_t c, int d, int contrast, long long offset)
{
    const long long c1 = Clamp255(int(c) + d);
    return Clamp255(c1 * contrast / 100 + offset);
}

// One channel curve per byte value, for contrasts the vector path cannot carry.
void AdjustWithTables(uint8_t* frame, size_t bytes, const Params& p)
{
    uint8_t table[3][256];
    for (int ch = 0; ch < 3; ++ch)
        for (int v = 0; v < 256; ++v)
            table[ch][v] = AdjustChannel(uint8_t(v), p.channelOffset[ch], p.contrast, p.offset);
    for (size_t i = 0; i + 3 <= bytes; i += 3) {
        frame[i] = table[0][frame[i]];
        frame[i + 1] = table[1][frame[i + 1]];
        frame[i + 2] = table[2][frame[i + 2]];
    }
}

// 16 bytes at a time; the channel pattern repeats every 48 bytes, so three lane patterns cover it.
void AdjustWithVectors(uint8_t* frame, size_t bytes, const Params& p)
{
    alignas(16) uint8_t add[48], sub[48];
    for (int i = 0; i < 48; ++i) {
        const int d = p.channelOffset[i % 3];
        add[i] = uint8_t(d > 0 ? d : 0);
        sub[i] = uint8_t(d < 0 ? -d : 0);
    }
    __m128i addv[3], subv[3];
    for (int k = 0; k < 3; ++k) {
        addv[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(add + 16 * k));
        subv[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(sub + 16 * k));
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i contrast = _mm_set1_epi16(int16_t(p.contrast));
    // x / 100 == ((x >> 2) * 5243) >> 17 for every 16-bit x.
    const __m128i reciprocal = _mm_set1_epi16(int16_t(5243));
    const __m128i offset = _mm_set1_epi16(int16_t(std::clamp(p.offset, -kMaxVectorOffset, kMaxVectorOffset)));

    const auto half = [&](__m128i c) {
        const __m128i product = _mm_mullo_epi16(c, contrast);
        const __m128i quotient = _mm_srli_epi16(_mm_mulhi_epu16(_mm_srli_epi16(product, 2), reciprocal), 1);
        return _mm_add_epi16(quotient, offset);
    };

    const size_t blocks = bytes / 48;
    for (size_t b = 0; b < blocks; ++b) {
        uint8_t* block = frame + 48 * b;
        for (int k = 0; k < 3; ++k) {
            __m128i* at = reinterpret_cast<__m128i*>(block + 16 * k);
            __m128i c = _mm_loadu_si128(at);
            c = _mm_subs_epu8(_mm_adds_epu8(c, addv[k]), subv[k]);
            const __m128i lo = half(_mm_unpacklo_epi8(c, zero));
            const __m128i hi = half(_mm_unpackhi_epi8(c, zero));
            _mm_storeu_si128(at, _mm_packus_epi16(lo, hi));
        }
    }
    const size_t done = blocks * 48;
    for (size_t i = done; i + 3 <= bytes; i += 3)
        for (int ch = 0; ch < 3; ++ch)
            frame[i + ch] = AdjustChannel(frame[i + ch], p.channelOffset[ch], p.contrast, p.offset);
}

}  // namespace

int BrightnessOffset(int32_t bright)
{
    // Settings read from a file may hold anything; keep the conversion defined.
    return int(std::clamp((double(bright) - 100.0) * 2.55, -2e9, 2e9));
}

int AdjustColor(uint8_t* frame, int width, int height, int brightness, int contrast, int red, int green,
                int blue)
{
    if (!frame)
        return 0;
    if (width <= 0 || height <= 0)
        return 1;
    const long long pivot = 127 - (long long)contrast * 127 / 100;
    const auto bound = [](int d) { return std::clamp(d, -kMaxChannelOffset, kMaxChannelOffset); };
    const Params p{{bound(blue), bound(green), bound(red)}, contrast, brightness + pivot};
    const size_t bytes = size_t(width) * size_t(height) * 3;
    if (contrast >= 0 && contrast <= kMaxVectorContrast)
        AdjustWithVectors(frame, bytes, p);
    else
        AdjustWithTables(frame, bytes, p);
    return 1;
}
