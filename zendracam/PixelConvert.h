#pragma once
// Conversions between the 320×240 bottom-up BGR frame and the layouts devices and decoders use.
#include <cstddef>
#include <cstdint>

namespace zendracam {

// Packed 4:2:2, top-down, `dstStride` bytes a row: Y0 U Y1 V (or U Y0 V Y1 when `uyvy`), BT.601
// studio range. `width` must be even.
void BgrBottomUpToYuv422(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride, bool uyvy);

// 24-bit top-down, `dstStride` bytes a row, B,G,R (or R,G,B when `rgb`).
void BgrBottomUpToTopDown24(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride,
                            bool rgb);

// 32-bit top-down, `dstStride` bytes a row, B,G,R,x (or R,G,B,x when `rgb`) with x = 255.
void BgrBottomUpToTopDown32(const uint8_t* src, int width, int height, uint8_t* dst, size_t dstStride,
                            bool rgb);

// 32-bit B,G,R,x top-down rows of `srcStride` bytes to a 24-bit bottom-up frame without padding.
void Bgr0TopDownToBgrBottomUp(const uint8_t* src, size_t srcStride, int width, int height, uint8_t* dst);

}  // namespace zendracam
