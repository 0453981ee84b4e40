#pragma once
// One second of a 440 Hz tone as the microphone delivers it: 16-bit stereo at 22050 Hz, 88200 bytes.
#include <cmath>
#include <cstdint>
#include <vector>

inline std::vector<uint8_t> ToneBlock()
{
    std::vector<uint8_t> block(88200);
    for (int i = 0; i < 22050; ++i) {
        const auto v = int16_t(8000 * std::sin(2 * M_PI * 440 * i / 22050.0));
        for (int c = 0; c < 2; ++c) {
            block[size_t(i) * 4 + c * 2] = uint8_t(v & 0xFF);
            block[size_t(i) * 4 + c * 2 + 1] = uint8_t((v >> 8) & 0xFF);
        }
    }
    return block;
}
