#pragma once
// Nearest-neighbour scaling of 24-bit pictures in 16.16 fixed point.
#include <cstddef>
#include <cstdint>

namespace zendracam {

// Rows are taken in memory order with the given strides (negative for a picture stored the other way
// up). Steps are ((source << 16) / target) + 1, so the last sample stays inside the source for the
// frame's sizes; samples are bounded to the source for any others.
void ScaleNearest24(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint8_t* dst,
                    int dstWidth, int dstHeight, ptrdiff_t dstStride);

}  // namespace zendracam
