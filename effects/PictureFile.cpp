#include "effects/PictureFile.h"

#include <QImageReader>
#include <QString>

bool LimitPictureReader(QImageReader& reader)
{
    // Qt's own guard against decoding bombs, in MiB, sized for the pixel limit at 4 bytes a pixel.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    const QSize size = reader.size();
    return !size.isValid() || qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

QImage ReadPictureFile(const std::string& path, const char* format)
{
    QImageReader reader(QString::fromStdString(path), format);
    if (format)
        reader.setAutoDetectImageFormat(false);
    if (!LimitPictureReader(reader))
        return {};
    QImage image = reader.read();
    if (qint64(image.width()) * image.height() > kMaxPicturePixels)
        return {};
    return image;
}
