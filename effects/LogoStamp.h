#pragma once
// The program's logo, stamped into the bottom-right corner of every frame; its black pixels let the
// video through.
#include <QImage>

#include <array>
#include <cstdint>

class CLogoStamp {
public:
    static constexpr int kWidth = 148;
    static constexpr int kHeight = 28;
    static constexpr int kLeft = 170;

    // The program's own logo picture.
    CLogoStamp();
    // Another 148×28 picture (top row first, as pictures are); a picture of another size stamps nothing.
    explicit CLogoStamp(const QImage& picture);

    int32_t Enabled = 1;

    void Stamp(uint8_t* frame) const;

private:
    // B, G, R and an unread fourth byte per pixel, bottom row first.
    std::array<uint8_t, kWidth * kHeight * 4> pixels_{};
};
