#pragma once
// A 24-bit picture the way the frame buffer holds one: bytes B, G, R, bottom row first, rows padded to
// a multiple of 4 bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

class QImage;

struct CDib {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::vector<uint8_t> Bits;

    static int StrideFor(int width) { return ((width * 24 + 31) >> 3) & ~3; }

    uint8_t* Row(int bottomUpRow) { return Bits.data() + size_t(bottomUpRow) * size_t(Stride); }
    const uint8_t* Row(int bottomUpRow) const { return Bits.data() + size_t(bottomUpRow) * size_t(Stride); }
};

// The picture at its own size; an empty CDib for a null image.
CDib DibFromImage(const QImage& image);
