#include "zendracam/NearestScale.h"

#include <algorithm>
#include <vector>

namespace zendracam {

void ScaleNearest24(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint8_t* dst,
                    int dstWidth, int dstHeight, ptrdiff_t dstStride)
{
    if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return;
    const uint64_t xstep = (uint64_t(srcWidth) << 16) / uint64_t(dstWidth) + 1;
    const uint64_t ystep = (uint64_t(srcHeight) << 16) / uint64_t(dstHeight) + 1;
    // The source column depends only on the target column.
    std::vector<uint32_t> column(static_cast<size_t>(dstWidth));
    uint64_t x = 0;
    for (int i = 0; i < dstWidth; ++i, x += xstep)
        column[size_t(i)] = uint32_t(std::min<uint64_t>(x >> 16, uint64_t(srcWidth - 1))) * 3;
    uint64_t y = 0;
    for (int j = 0; j < dstHeight; ++j, y += ystep) {
        const uint8_t* in = src + ptrdiff_t(std::min<uint64_t>(y >> 16, uint64_t(srcHeight - 1))) * srcStride;
        uint8_t* out = dst + ptrdiff_t(j) * dstStride;
        for (int i = 0; i < dstWidth; ++i) {
            const uint8_t* p = in + column[size_t(i)];
            out[3 * i] = p[0];
            out[3 * i + 1] = p[1];
            out[3 * i + 2] = p[2];
        }
    }
}

}  // namespace zendracam
