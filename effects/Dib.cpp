#include "effects/Dib.h"

#include <QImage>

CDib DibFromImage(const QImage& image)
{
    CDib dib;
    if (image.isNull())
        return dib;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    dib.Width = rgb.width();
    dib.Height = rgb.height();
    dib.Stride = CDib::StrideFor(dib.Width);
    dib.Bits.assign(size_t(dib.Stride) * size_t(dib.Height), 0);
    for (int y = 0; y < dib.Height; ++y) {
        const uchar* src = rgb.constScanLine(dib.Height - 1 - y);
        uint8_t* dst = dib.Row(y);
        for (int x = 0; x < dib.Width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return dib;
}
