#include "effects/LayerBlend.h"

namespace {

// trunc(v × 0.7) in double precision, as an integer expression the compiler can vectorise: v × 7 / 10
// by multiply and shift, less one where 0.7's binary rounding lands just under a whole number.
constexpr uint32_t Dimmed(uint32_t v)
{
    return ((v * 717u) >> 10) - uint32_t(v == 90u) - uint32_t(v == 170u) - uint32_t(v == 180u);
}

constexpr bool DimmedMatchesDouble()
{
    for (uint32_t v = 0; v < 256; ++v)
        if (Dimmed(v) != uint32_t(double(v) * 0.7))
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

void BlendReplace(uint8_t* frame, const uint8_t* layer, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        frame[i] = layer[i] != 0 ? layer[i] : frame[i];
}

void BlendReplaceDimmed(uint8_t* frame, const uint8_t* layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t v = layer[i];
        frame[i] = v != 0 ? uint8_t(Dimmed(v)) : frame[i];
    }
}

void BlendHalfLift(uint8_t* frame, const uint8_t* layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t lifted = ((uint32_t(layer[i]) + frame[i]) >> 1) + 50u;
        frame[i] = uint8_t(lifted < 255u ? lifted : 255u);
    }
}

void BlendAdd(uint8_t* frame, const uint8_t* layer, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const uint32_t sum = uint32_t(frame[i]) + layer[i];
        frame[i] = uint8_t(sum < 255u ? sum : 255u);
    }
}
