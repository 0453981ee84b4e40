#pragma once
// What an image file says about itself in its own header, read before anything is decoded.
#include <string>

enum class ImageFileKind { Bmp, Jpeg, Png, Gif };

struct ImageHeaderInfo {
    ImageFileKind kind = ImageFileKind::Bmp;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // as stored: 24 for 24-bit BMPs, colour JPEGs and RGB PNGs
};

// False when the bytes are not a BMP, JPEG, PNG or GIF header we can read.
bool ReadImageHeader(const std::string& path, ImageHeaderInfo& info);
