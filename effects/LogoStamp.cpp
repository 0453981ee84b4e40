#include "effects/LogoStamp.h"

#include "effects/FrameBuffer.h"


static QImage ProgramLogo()
{
    Q_INIT_RESOURCE(effects);
    return QImage(QStringLiteral(":/korvel/logo.png"));
}

CLogoStamp::CLogoStamp() : CLogoStamp(ProgramLogo()) {}

CLogoStamp::CLogoStamp(const QImage& picture)
{
    if (picture.width() != kWidth || picture.height() != kHeight)
        return;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int r = 0; r < kHeight; ++r) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(kHeight - 1 - r));
        for (int c = 0; c < kWidth; ++c) {
            uint8_t* p = &pixels_[size_t(r * kWidth + c) * 4];
            p[0] = uint8_t(qBlue(line[c]));
            p[1] = uint8_t(qGreen(line[c]));
            p[2] = uint8_t(qRed(line[c]));
        }
    }
}

void CLogoStamp::Stamp(uint8_t* frame) const
{
    for (int r = 0; r < kHeight; ++r) {
        uint8_t* row = frame + size_t(r) * kFrameStride + size_t(kLeft) * 3;
        const uint8_t* logo = &pixels_[size_t(r) * kWidth * 4];
        for (int c = 0; c < kWidth; ++c) {
            const uint8_t* p = logo + 4 * c;
            if (p[0] | p[1] | p[2]) {
                row[3 * c] = p[0];
                row[3 * c + 1] = p[1];
                row[3 * c + 2] = p[2];
            }
        }
    }
}
