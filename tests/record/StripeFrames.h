#pragma once
// Frames that carry their own number: ten vertical stripes, stripe b white when bit b is set, read
// back from a decoded file to tell which pushed frame each written one was.
#include "Probe.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int kStripeBits = 10;
constexpr int kStripeWidth = 32;

inline std::vector<uint8_t> StripeFrame(int number)
{
    std::vector<uint8_t> frame(size_t(320) * 240 * 3);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint8_t level = (number >> (x / kStripeWidth)) & 1 ? 235 : 16;
            uint8_t* p = &frame[(size_t(y) * 320 + x) * 3];
            p[0] = p[1] = p[2] = level;
        }
    return frame;
}

// The numbers of the frames in the file, in presentation order.
inline std::vector<int> DecodeStripeNumbers(const std::string& path)
{
    const std::string gray =
        RunCommand("ffmpeg -v error -i '" + path + "' -fps_mode passthrough -f rawvideo -pix_fmt gray - 2>/dev/null");
    std::vector<int> numbers;
    const size_t frameBytes = size_t(320) * 240;
    for (size_t at = 0; at + frameBytes <= gray.size(); at += frameBytes) {
        int number = 0;
        for (int bit = 0; bit < kStripeBits; ++bit)
            if (uint8_t(gray[at + 120 * 320 + size_t(bit) * kStripeWidth + kStripeWidth / 2]) > 128)
                number |= 1 << bit;
        numbers.push_back(number);
    }
    return numbers;
}
