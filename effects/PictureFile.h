#pragma once
// Decoding pictures from files that the user, a download or a shipped folder put there. A file that is
// missing, truncated, not a picture, or larger than the limits below gives a null image; nothing here
// allocates for a size the header merely claims.
#include <QImage>

#include <string>

class QImageReader;

// At most this many pixels in one picture (a 4096×4096 photo still opens).
constexpr qint64 kMaxPicturePixels = qint64(4096) * 4096;

// Applies the limits to a reader; false when the header already claims too large a picture.
bool LimitPictureReader(QImageReader& reader);

// The file's picture. `format` forces a decoder ("jpeg", "png", "bmp", "gif"); nullptr decides by
// content.
QImage ReadPictureFile(const std::string& path, const char* format = nullptr);
