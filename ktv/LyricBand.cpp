#include "ktv/LyricBand.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kFrameStride = 960;
constexpr uint8_t kSung = 200;

bool IsKey(const uint8_t* pixel)
{
    return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 255;
}

void HalveInto(uint8_t* frame, const uint8_t* band)
{
    for (int i = 0; i < kBandBytes; ++i)
        frame[i] = uint8_t((frame[i] + band[i]) >> 1);
}

}  // namespace

CLyricPainter::CLyricPainter()
{
    font_.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN"),
                       QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    // Plain pixels only: the sweep finds the text again by its exact colour.
    font_.setStyleStrategy(QFont::NoAntialias);
    for (int size = 16; size > 6; --size) {
        font_.setPixelSize(size);
        if (QFontMetrics(font_).height() <= kBandRows)
            break;
    }
    ascent_ = QFontMetrics(font_).ascent();
}

void CLyricPainter::Render(DisplayLine& line, bool upper) const
{
    if (line.drawn && line.drawnText == line.text)
        return;
    line.width = QFontMetrics(font_).horizontalAdvance(line.text);
    QImage image(kBandWidth, kBandRows, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setFont(font_);
        painter.setPen(QColor(255, 0, 0));
        painter.drawText(upper ? 10 : 310 - line.width, ascent_, line.text);
    }
    for (int y = 0; y < kBandRows; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(kBandRows - 1 - y));
        uint8_t* target = line.pixels + y * kBandStride;
        for (int x = 0; x < kBandWidth; ++x) {
            target[3 * x] = uint8_t(qBlue(source[x]));
            target[3 * x + 1] = uint8_t(qGreen(source[x]));
            target[3 * x + 2] = uint8_t(qRed(source[x]));
        }
    }
    line.drawnText = line.text;
    line.drawn = true;
}

void MergeLyricBands(uint8_t* frame, const uint8_t* upper, const uint8_t* lower, int selector, int origin,
                     int sung)
{
    uint8_t* lowerRows = frame;
    uint8_t* upperRows = frame + kBandRows * kFrameStride;
    HalveInto(lowerRows, lower);
    HalveInto(upperRows, upper);

    if (selector != 1 && selector != 2)
        return;
    const uint8_t* band = selector == 1 ? upper : lower;
    uint8_t* rows = selector == 1 ? upperRows : lowerRows;
    const int first = std::max(origin + 1, 0);
    const int last = std::min(origin + sung, kBandWidth);  // exclusive
    for (int y = 0; y < kBandRows; ++y) {
        for (int x = first; x < last; ++x) {
            const int i = y * kBandStride + 3 * x;
            if (IsKey(band + i))
                std::memset(rows + i, kSung, 3);
        }
    }
}
