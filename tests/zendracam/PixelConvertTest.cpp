// The frame's conversions to the layouts devices and PipeWire consumers take, on arbitrary pictures
// and on widths that leave pixels over after the vector loops.
#include "zendracam/PixelConvert.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace zendracam;

namespace {

std::vector<uint8_t> Noise(int width, int height)
{
    std::vector<uint8_t> frame(size_t(width) * 3 * height);
    uint32_t seed = 12345;
    for (auto& b : frame)
        b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
    return frame;
}

}  // namespace

TEST(PixelConvert, Yuv422AgreesWithTheFormulaOnAnyPicture)
{
    // Widths that fill whole 8-pixel groups and ones that leave pairs over.
    for (const int width : {320, 14, 2}) {
        const int height = 5;
        const auto frame = Noise(width, height);
        for (const bool uyvy : {false, true}) {
            std::vector<uint8_t> got(size_t(width) * 2 * height);
            BgrBottomUpToYuv422(frame.data(), width, height, got.data(), size_t(width) * 2, uyvy);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; x += 2) {
                    const uint8_t* p = frame.data() + size_t(height - 1 - y) * width * 3 + size_t(x) * 3;
                    const auto luma = [](const uint8_t* q) { return ((66 * q[2] + 129 * q[1] + 25 * q[0] + 128) >> 8) + 16; };
                    const int b = (p[0] + p[3] + 1) / 2, g = (p[1] + p[4] + 1) / 2, r = (p[2] + p[5] + 1) / 2;
                    const int u = ((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128;
                    const int v = ((112 * r - 94 * g - 18 * b + 128) >> 8) + 128;
                    const uint8_t* q = got.data() + size_t(y) * width * 2 + size_t(x) * 2;
                    const std::array<int, 4> expected = uyvy ? std::array<int, 4>{u, luma(p), v, luma(p + 3)}
                                                             : std::array<int, 4>{luma(p), u, luma(p + 3), v};
                    ASSERT_EQ((std::array<int, 4>{q[0], q[1], q[2], q[3]}), expected)
                        << "width " << width << " uyvy " << uyvy << " at " << x << "," << y;
                }
        }
    }
}

TEST(PixelConvert, FourByteRowsKeepEveryPixelTopDownWithAnOpaqueFourthByte)
{
    for (const int width : {320, 14, 5, 1}) {
        const int height = 4;
        const auto frame = Noise(width, height);
        const size_t stride = size_t(width) * 4 + 8;
        for (const bool rgb : {false, true}) {
            std::vector<uint8_t> got(stride * height, 7);
            BgrBottomUpToTopDown32(frame.data(), width, height, got.data(), stride, rgb);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uint8_t* p = frame.data() + size_t(height - 1 - y) * width * 3 + size_t(x) * 3;
                    const uint8_t* q = got.data() + size_t(y) * stride + size_t(x) * 4;
                    const std::array<int, 4> expected = rgb ? std::array<int, 4>{p[2], p[1], p[0], 255}
                                                            : std::array<int, 4>{p[0], p[1], p[2], 255};
                    ASSERT_EQ((std::array<int, 4>{q[0], q[1], q[2], q[3]}), expected)
                        << "width " << width << " rgb " << rgb << " at " << x << "," << y;
                }
                // The row's padding stays as it was.
                for (size_t pad = size_t(width) * 4; pad < stride; ++pad)
                    ASSERT_EQ(got[size_t(y) * stride + pad], 7);
            }
        }
    }
}
