#include "effects/LayerBlend.h"

// Plain byte loops over runs that never overlap, written with 8-bit (and, for the dimming, 16-bit)
// operations only, so the compiler turns each into whole-vector work with no branches.

namespace {

// trunc(v × 0.7) in double precision: v × 7 / 10, less one where 0.7's binary rounding lands just
// under a whole number.
constexpr uint16_t Dimmed(uint16_t v)
{
    return uint16_t(uint16_t(v * 7) / 10 - uint16_t(v == 90) - uint16_t(v == 170) - uint16_t(v == 180));
}

constexpr bool DimmedMatchesDouble()
{
    for (uint16_t v = 0; v < 256; ++v)
        if (Dimmed(v) != uint16_t(double(v) * 0.7))
            return false;
    return true;
}
static_assert(DimmedMatchesDouble());

}  // namespace

void ClearWhite(uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        bytes[i] = bytes[i] == 255 ? 0 : bytes[i];
}

void BlendReplace(uint8_t* __restrict frame, const uint8_t* __restrict layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t keep = uint8_t(-uint8_t(layer[i] == 0));
        frame[i] = uint8_t((frame[i] & keep) | layer[i]);
    }
}

void BlendReplaceDimmed(uint8_t* __restrict frame, const uint8_t* __restrict layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t keep = uint8_t(-uint8_t(layer[i] == 0));
        frame[i] = uint8_t((frame[i] & keep) | Dimmed(layer[i]));
    }
}

void BlendHalfLift(uint8_t* __restrict frame, const uint8_t* __restrict layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        // (V + D) / 2 rounded down without leaving 8 bits, then + 50 saturating.
        const uint8_t half = uint8_t((frame[i] & layer[i]) + ((frame[i] ^ layer[i]) >> 1));
        const uint8_t lifted = uint8_t(half + 50);
        frame[i] = lifted < half ? 255 : lifted;
    }
}

void BlendAdd(uint8_t* __restrict frame, const uint8_t* __restrict layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t sum = uint8_t(frame[i] + layer[i]);
        frame[i] = sum < frame[i] ? 255 : sum;
    }
}
