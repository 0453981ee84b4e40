#pragma once
// The two ways a picture becomes a 320×240 frame. Source rows are taken in memory order with the
// given stride (negative to walk a top-down picture bottom-up); the target is a frame buffer.
#include <cstddef>
#include <cstdint>

// Nearest sampling with rx = w / 320.0 and ry = h / 240.0: target (x, y) takes source column
// trunc(x × rx) of row trunc(y × ry).
void ScalePictureNearest(const uint8_t* src, int w, int h, ptrdiff_t stride, uint8_t* frame);

// Integer bilinear resampling with weights over W = 319 and H = 239, rounded by D / 2 with D = W × H.
void ScalePictureBilinear(const uint8_t* src, int w, int h, ptrdiff_t stride, uint8_t* frame);
