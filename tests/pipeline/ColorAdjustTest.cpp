#include "pipeline/ColorAdjust.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr int kW = 320, kH = 240, kBytes = kW * kH * 3;

std::vector<uint8_t> RandomFrame(int bytes, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> frame(bytes);
    for (auto& b : frame)
        b = uint8_t(rng());
    // Make sure the extremes occur in every channel.
    for (int i = 0; i < 6 && i < bytes; ++i)
        frame[i] = i < 3 ? 0 : 255;
    return frame;
}

// The plain per-byte table form the routine must agree with.
std::vector<uint8_t> Reference(std::vector<uint8_t> frame, int bright, int contrast, int r, int g, int b)
{
    const long long offset = bright + 127 - (long long)contrast * 127 / 100;
    const int d[3] = {b, g, r};
    uint8_t table[3][256];
    for (int ch = 0; ch < 3; ++ch)
        for (int v = 0; v < 256; ++v) {
            long long c1 = v + d[ch];
            c1 = c1 < 0 ? 0 : c1 > 255 ? 255 : c1;
            long long c2 = c1 * contrast / 100 + offset;
            table[ch][v] = uint8_t(c2 < 0 ? 0 : c2 > 255 ? 255 : c2);
        }
    for (size_t i = 0; i + 3 <= frame.size(); i += 3)
        for (int ch = 0; ch < 3; ++ch)
            frame[i + ch] = table[ch][frame[i + ch]];
    return frame;
}

}  // namespace

TEST(ColorAdjust, BrightnessOffsetTruncatesTheProduct)
{
    const struct { int bright, offset; } cases[] = {
        {0, -254}, {200, 254}, {100, 0}, {101, 2}, {99, -2}, {150, 127}, {50, -127}, {190, 229}, {120, 51},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrightnessOffset(c.bright), c.offset) << c.bright;
}

TEST(ColorAdjust, NullFrameIsRefused)
{
    EXPECT_EQ(AdjustColor(nullptr, kW, kH, 0, 100, 0, 0, 0), 0);
}

TEST(ColorAdjust, NeutralValuesLeaveTheFrameAlone)
{
    auto frame = RandomFrame(kBytes, 1);
    const auto before = frame;
    ASSERT_EQ(AdjustColor(frame.data(), kW, kH, BrightnessOffset(100), 100, 0, 0, 0), 1);
    EXPECT_EQ(frame, before);
}

TEST(ColorAdjust, FullBrightnessTurnsEverythingButZeroWhite)
{
    std::vector<uint8_t> frame(kBytes);
    for (int i = 0; i < kBytes; ++i)
        frame[i] = uint8_t(i % 256);
    AdjustColor(frame.data(), kW, kH, BrightnessOffset(200), 100, 0, 0, 0);
    for (int i = 0; i < kBytes; ++i) {
        const int expected = i % 256 == 0 ? 254 : 255;
        ASSERT_EQ(frame[i], expected) << "byte " << i;
    }
}

TEST(ColorAdjust, ZeroContrastGivesFlatGrey)
{
    for (int bright : {100, 60, 140}) {
        auto frame = RandomFrame(kBytes, 2);
        AdjustColor(frame.data(), kW, kH, BrightnessOffset(bright), 0, 30, 0, 0);
        const int grey = 127 + BrightnessOffset(bright);
        for (int i = 0; i < kBytes; ++i)
            ASSERT_EQ(frame[i], grey) << "bright " << bright << " byte " << i;
    }
}

TEST(ColorAdjust, ChannelOffsetClampsBeforeContrast)
{
    auto frame = RandomFrame(kBytes, 3);
    const auto before = frame;
    AdjustColor(frame.data(), kW, kH, 0, 50, 255, 0, 0);
    for (int i = 0; i < kBytes; i += 3) {
        ASSERT_EQ(frame[i + 2], 191);                     // red: trunc(255 * 50 / 100) + 64
        ASSERT_EQ(frame[i], before[i] * 50 / 100 + 64);   // blue and green keep their own value
        ASSERT_EQ(frame[i + 1], before[i + 1] * 50 / 100 + 64);
    }
}

TEST(ColorAdjust, AgreesWithThePerByteTables)
{
    const struct { int bright, contrast, r, g, b; } cases[] = {
        {-23, 120, 0, 102, 150},  // the colour presets
        {-23, 120, 102, 90, 0},   {-23, 120, 60, 60, 120}, {51, 120, 60, 0, 0},
        {254, 200, 255, 255, 255}, {-254, 200, 0, 0, 0},   {-254, 0, 0, 0, 0},
        {17, 37, -40, 300, -300},  // offsets the panel never makes still behave
        {0, 257, 1, 2, 3},         // the widest contrast in 16 bits
        {0, 258, 1, 2, 3},         {5, 1000, 0, 0, 0},     {5, -50, 10, 0, 0}, {100000, 100, 0, 0, 0},
        {-100000, 3, 0, 0, 0},
    };
    for (const auto& c : cases) {
        // 320×240 and an odd size whose length is not a whole number of vector blocks.
        for (const auto& [w, h] : {std::pair{kW, kH}, std::pair{7, 5}}) {
            auto frame = RandomFrame(w * h * 3, unsigned(c.contrast + c.bright));
            const auto expected = Reference(frame, c.bright, c.contrast, c.r, c.g, c.b);
            AdjustColor(frame.data(), w, h, c.bright, c.contrast, c.r, c.g, c.b);
            ASSERT_EQ(frame, expected) << "bright " << c.bright << " contrast " << c.contrast << " size " << w;
        }
    }
}
