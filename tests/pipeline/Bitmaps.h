#pragma once
// Small BMP files written byte by byte, so a test knows exactly what the file holds.
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

struct Bgr {
    uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

// A BMP of w × h at 24 or 32 bits; `pixel(x, y)` gives the colour with y counted from the top.
inline void WriteBmp(const std::string& path, int w, int h, int bits, const std::function<Bgr(int, int)>& pixel,
                     int declaredW = 0, int declaredH = 0)
{
    const int bytesPerPixel = bits / 8;
    const int stride = ((w * bits + 31) >> 3) & ~3;
    std::vector<uint8_t> data(size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Bgr c = pixel(x, y);
            uint8_t* p = data.data() + size_t(h - 1 - y) * stride + size_t(x) * bytesPerPixel;
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    const auto le = [](std::vector<uint8_t>& out, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.push_back(uint8_t(v >> (8 * i)));
    };
    std::vector<uint8_t> file = {'B', 'M'};
    le(file, uint32_t(54 + data.size()), 4);
    le(file, 0, 4);
    le(file, 54, 4);
    le(file, 40, 4);
    le(file, uint32_t(declaredW ? declaredW : w), 4);
    le(file, uint32_t(declaredH ? declaredH : h), 4);
    le(file, 1, 2);
    le(file, uint32_t(bits), 2);
    le(file, 0, 4);
    le(file, uint32_t(data.size()), 4);
    le(file, 2835, 4);
    le(file, 2835, 4);
    le(file, 0, 4);
    le(file, 0, 4);
    file.insert(file.end(), data.begin(), data.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

// The frame pixel at column x of frame row y (bottom-up, as stored).
inline Bgr FramePixel(const uint8_t* frame, int x, int y)
{
    const uint8_t* p = frame + size_t(y) * 960 + size_t(x) * 3;
    return {p[0], p[1], p[2]};
}
