#pragma once
// The per-channel blend rules of the layer compositor, each over a run of bytes of a frame and of a
// layer picture laid out the same way; the two runs never overlap. V is the layer's byte, D the frame's.
#include <cstddef>
#include <cstdint>

// Where a byte is 255 it becomes 0 (a layer picture's white counts as nothing).
void ClearWhite(uint8_t* bytes, size_t count);

// Border and pendant, mode 1: where V ≠ 0, D = V.
void BlendReplace(uint8_t* frame, const uint8_t* layer, size_t count);
// Border and pendant, mode 0: where V ≠ 0, D = trunc(V × 0.7).
void BlendReplaceDimmed(uint8_t* frame, const uint8_t* layer, size_t count);
// Animation, mode 0: D = min(255, trunc((V + D) × 0.5 + 50)).
void BlendHalfLift(uint8_t* frame, const uint8_t* layer, size_t count);
// Everything else: D = min(255, D + V).
void BlendAdd(uint8_t* frame, const uint8_t* layer, size_t count);
