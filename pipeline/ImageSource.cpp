#include "pipeline/ImageSource.h"

#include "fileio/TextEncoding.h"
#include "pipeline/ImageHeader.h"
#include "pipeline/PictureScale.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cctype>

namespace {

// Room for the largest picture we take, decoded to 32 bits.
constexpr int kDecodeLimitMegabytes = 4 * CImageSource::kMaxSide * CImageSource::kMaxSide / (1024 * 1024) + 16;

CImageSource::ImageType TypeOfPath(const std::string& path)
{
    if (path.size() < 3)
        return CImageSource::IMAGE_NONE;
    std::string last = path.substr(path.size() - 3);
    std::transform(last.begin(), last.end(), last.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (last == "bmp")
        return CImageSource::IMAGE_BMP;
    if (last == "jpg")
        return CImageSource::IMAGE_JPEG;
    if (last == "png")
        return CImageSource::IMAGE_PNG;
    if (last == "gif")
        return CImageSource::IMAGE_GIF;
    return CImageSource::IMAGE_NONE;
}

// The decoder each type is read with, and the file kind it accepts.
struct Decoder {
    const char* format;
    ImageFileKind kind;
};

bool DecoderOf(CImageSource::ImageType type, Decoder& decoder)
{
    switch (type) {
    case CImageSource::IMAGE_BMP: decoder = {"bmp", ImageFileKind::Bmp}; return true;
    case CImageSource::IMAGE_JPEG: decoder = {"jpeg", ImageFileKind::Jpeg}; return true;
    case CImageSource::IMAGE_PNG: decoder = {"png", ImageFileKind::Png}; return true;
    case CImageSource::IMAGE_GIF: decoder = {"gif", ImageFileKind::Gif}; return true;
    default: return false;
    }
}

}  // namespace

CImageSource::CImageSource() {}

void CImageSource::SetPath(const std::string& path)
{
    path_ = CutToUtf16Units(path, kMaxPathUnits);
    type_ = TypeOfPath(path_);
    samePath_ = path_ == lastPath_;
    lastPath_ = path_;
}

bool CImageSource::Load()
{
    Decoder decoder;
    if (!DecoderOf(type_, decoder))
        return false;
    ImageHeaderInfo header;
    if (!ReadImageHeader(path_, header) || header.kind != decoder.kind || header.width <= 0 || header.height <= 0 || header.width > kMaxSide ||
        header.height > kMaxSide)
        return false;

    QImageReader::setAllocationLimit(kDecodeLimitMegabytes);
    QImageReader reader(QString::fromStdString(path_), decoder.format);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide)
        return false;
    // A GIF shows its first frame, still.
    QImage decoded = reader.read();
    if (decoded.isNull())
        return false;
    const QImage bgr = decoded.convertToFormat(QImage::Format_BGR888);
    decoded = QImage();
    if (bgr.isNull())
        return false;

    // The pixels as a 24-bit bottom-up bitmap: start at the last row and walk up.
    const int w = bgr.width(), h = bgr.height();
    const ptrdiff_t stride = bgr.bytesPerLine();
    const uint8_t* bottomUp = bgr.constScanLine(h - 1);
    const ptrdiff_t upward = -stride;
    // Only pictures stored with 24 bits a pixel are sampled directly, and only when their rows carry
    // so little padding that the image size still divides to 3 bytes a pixel.
    const size_t imageSize = size_t(stride) * size_t(h);
    const bool direct = type_ != IMAGE_GIF && header.bitsPerPixel == 24 && imageSize / (size_t(w) * size_t(h)) == 3;
    if (direct)
        ScalePictureNearest(bottomUp, w, h, upward, frame_.data());
    else
        ScalePictureBilinear(bottomUp, w, h, upward, frame_.data());
    framePointer_ = frame_.data();
    return true;
}
