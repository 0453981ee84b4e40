#include "pipeline/ImageHeader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

// JPEG markers may sit behind large metadata blocks; look no further than this.
constexpr size_t kMaxJpegScan = 1 << 20;

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint32_t Be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }

bool ReadBmp(const std::vector<uint8_t>& b, ImageHeaderInfo& info)
{
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        return false;
    const uint32_t headerSize = Le32(&b[14]);
    info.kind = ImageFileKind::Bmp;
    if (headerSize == 12) {  // OS/2 core header
        info.width = int(Le16(&b[18]));
        info.height = int(Le16(&b[20]));
        info.bitsPerPixel = int(Le16(&b[24]));
        return true;
    }
    if (headerSize < 40 || b.size() < 30)
        return false;
    // A negative height marks a top-down picture; the most negative one has no size to stand for.
    const int32_t height = int32_t(Le32(&b[22]));
    if (height == std::numeric_limits<int32_t>::min())
        return false;
    info.width = int32_t(Le32(&b[18]));
    info.height = std::abs(height);
    info.bitsPerPixel = int(Le16(&b[28]));
    return true;
}

bool ReadPng(const std::vector<uint8_t>& b, ImageHeaderInfo& info)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 29 || std::memcmp(b.data(), kSignature, 8) != 0 || std::memcmp(&b[12], "IHDR", 4) != 0)
        return false;
    info.kind = ImageFileKind::Png;
    info.width = int(Be32(&b[16]) & 0x7FFFFFFF);
    info.height = int(Be32(&b[20]) & 0x7FFFFFFF);
    const int depth = b[24], colourType = b[25];
    // Truecolour without alpha is decoded to 24 bits; palette, grey and alpha images are not.
    switch (colourType) {
    case 2: info.bitsPerPixel = 24; break;
    case 6: info.bitsPerPixel = 32; break;
    default: info.bitsPerPixel = depth; break;
    }
    return true;
}

bool ReadGif(const std::vector<uint8_t>& b, ImageHeaderInfo& info)
{
    if (b.size() < 11 || std::memcmp(b.data(), "GIF8", 4) != 0)
        return false;
    info.kind = ImageFileKind::Gif;
    info.width = int(Le16(&b[6]));
    info.height = int(Le16(&b[8]));
    info.bitsPerPixel = 8;
    return true;
}

bool ReadJpeg(const std::vector<uint8_t>& b, ImageHeaderInfo& info)
{
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return false;
    size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF)
            return false;
        const uint8_t marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const size_t length = Be16(&b[at + 2]);
        const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader) {
            if (at + 10 > b.size())
                return false;
            info.kind = ImageFileKind::Jpeg;
            info.height = int(Be16(&b[at + 5]));
            info.width = int(Be16(&b[at + 7]));
            const int components = b[at + 9];
            info.bitsPerPixel = components == 1 ? 8 : 24;
            return true;
        }
        if (length < 2)
            return false;
        at += 2 + length;
    }
    return false;
}

}  // namespace

bool ReadImageHeader(const std::string& path, ImageHeaderInfo& info)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return false;
    std::vector<uint8_t> bytes(64);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    info = {};
    if (ReadBmp(bytes, info) || ReadPng(bytes, info) || ReadGif(bytes, info))
        return true;
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    bytes.resize(kMaxJpegScan);
    std::rewind(file.get());
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    return ReadJpeg(bytes, info);
}
