#pragma once
// Writes GIF files with exact colours for the tests: every frame carries its own colour table of at
// most 256 colours and is coded with 9-bit literal codes only (a clear code keeps the table small).
#include <cstdint>
#include <map>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator<(const Rgb& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Pixels top row first, as GIF stores them.
struct GifFrame {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb& At(int x, int y) { return pixels[size_t(y) * width + x]; }
};

inline GifFrame SolidFrame(int width, int height, Rgb colour)
{
    return {width, height, std::vector<Rgb>(size_t(width) * height, colour)};
}

inline std::string EncodeGif(const std::vector<GifFrame>& frames, int screenWidth = -1, int screenHeight = -1)
{
    const int sw = screenWidth >= 0 ? screenWidth : frames.at(0).width;
    const int sh = screenHeight >= 0 ? screenHeight : frames.at(0).height;
    std::string out = "GIF89a";
    auto put16 = [&](int v) { out += char(v & 0xFF); out += char((v >> 8) & 0xFF); };
    put16(sw);
    put16(sh);
    out += char(0x00);  // no global colour table
    out += char(0);
    out += char(0);
    for (const GifFrame& f : frames) {
        std::map<Rgb, int> index;
        for (const Rgb& p : f.pixels)
            index.emplace(p, 0);
        if (index.size() > 256)
            throw std::runtime_error("more than 256 colours in a frame");
        std::vector<Rgb> table;
        for (auto& [c, i] : index) {
            i = int(table.size());
            table.push_back(c);
        }
        table.resize(256);
        // Graphic control: delay 10 (1/100 s), no disposal.
        out += "\x21\xF9\x04";
        out += char(0x04);
        put16(10);
        out += char(0);
        out += char(0);
        out += char(0x2C);
        put16(0);
        put16(0);
        put16(f.width);
        put16(f.height);
        out += char(0x87);  // local colour table of 256 entries
        for (const Rgb& c : table) {
            out += char(c.r);
            out += char(c.g);
            out += char(c.b);
        }
        out += char(8);  // minimum code size
        std::string data;
        uint32_t bits = 0;
        int nbits = 0;
        auto code = [&](int c) {
            bits |= uint32_t(c) << nbits;
            nbits += 9;
            while (nbits >= 8) {
                data += char(bits & 0xFF);
                bits >>= 8;
                nbits -= 8;
            }
        };
        int sinceClear = 0;
        code(256);
        for (const Rgb& p : f.pixels) {
            if (sinceClear == 250) {
                code(256);
                sinceClear = 0;
            }
            code(index[p]);
            ++sinceClear;
        }
        code(257);
        if (nbits > 0)
            data += char(bits & 0xFF);
        for (size_t i = 0; i < data.size(); i += 255) {
            const size_t n = std::min<size_t>(255, data.size() - i);
            out += char(n);
            out += data.substr(i, n);
        }
        out += char(0);
    }
    out += char(0x3B);
    return out;
}
