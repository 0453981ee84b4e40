// The picture source: classification by the file's own header, both scalers, and files it must refuse.
#include "pipeline/ImageHeader.h"
#include "pipeline/ImageSource.h"
#include "pipeline/PictureScale.h"

#include "Bitmaps.h"
#include "support/Files.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <limits>

#include <gtest/gtest.h>

namespace {

Bgr Pattern(int x, int y)
{
    return {uint8_t(x & 255), uint8_t(y & 255), uint8_t((x >> 8) + 16 * (y >> 8))};
}

class PictureSource : public ::testing::Test {
protected:
    std::string File(const char* name) const { return dir.filePath(name).toStdString(); }
    bool Load(const std::string& path)
    {
        source.SetPath(path);
        return source.Load();
    }
    QTemporaryDir dir;
    CImageSource source;
};

}  // namespace

TEST_F(PictureSource, TypeComesFromTheLastThreeLetters)
{
    const struct { const char* path; CImageSource::ImageType type; } cases[] = {
        {"a.bmp", CImageSource::IMAGE_BMP}, {"a.BMP", CImageSource::IMAGE_BMP}, {"a.jpg", CImageSource::IMAGE_JPEG},
        {"a.Png", CImageSource::IMAGE_PNG}, {"a.gif", CImageSource::IMAGE_GIF}, {"a.jpeg", CImageSource::IMAGE_NONE},
        {"a.tif", CImageSource::IMAGE_NONE}, {"mp", CImageSource::IMAGE_NONE}, {"xbmp", CImageSource::IMAGE_BMP},
    };
    for (const auto& c : cases) {
        source.SetPath(c.path);
        EXPECT_EQ(source.Type(), c.type) << c.path;
    }
    // Paths are held in 127 UTF-16 units.
    source.SetPath(std::string(100, 'a') + std::string(20, 'b') + "\xe4\xbd\xa0" + std::string(20, 'c') + ".bmp");
    EXPECT_EQ(source.Path(), std::string(100, 'a') + std::string(20, 'b') + "\xe4\xbd\xa0" + std::string(6, 'c'));
    EXPECT_EQ(source.Type(), CImageSource::IMAGE_NONE);
    source.SetPath(source.Path());
    EXPECT_TRUE(source.SamePath());
}

TEST_F(PictureSource, HeaderDepthDecidesThePath)
{
    QImage rgb(8, 6, QImage::Format_RGB888), argb(8, 6, QImage::Format_ARGB32), grey(8, 6, QImage::Format_Grayscale8);
    rgb.fill(Qt::red);
    argb.fill(QColor(0, 255, 0, 128));
    grey.fill(Qt::gray);
    QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8);
    const struct { QImage image; const char* name; const char* format; int bits; } cases[] = {
        {rgb, "rgb.png", "PNG", 24},     {argb, "argb.png", "PNG", 32},  {grey, "grey.png", "PNG", 8},
        {indexed, "pal.png", "PNG", 8},  {rgb, "rgb.jpg", "JPEG", 24},   {grey, "grey.jpg", "JPEG", 8},
        {rgb, "rgb.bmp", "BMP", 24},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.image.save(dir.filePath(c.name), c.format)) << c.name;
        ImageHeaderInfo info;
        ASSERT_TRUE(ReadImageHeader(File(c.name), info)) << c.name;
        EXPECT_EQ(info.bitsPerPixel, c.bits) << c.name;
        EXPECT_EQ(info.width, 8) << c.name;
        EXPECT_EQ(info.height, 6) << c.name;
    }
    WriteBmp(File("argb.bmp"), 8, 6, 32, Pattern);
    ImageHeaderInfo info;
    ASSERT_TRUE(ReadImageHeader(File("argb.bmp"), info));
    EXPECT_EQ(info.bitsPerPixel, 32);
}

TEST_F(PictureSource, A24BitPictureIsSampledNearest)
{
    // 640×480: every second pixel of every second row.
    WriteBmp(File("big.bmp"), 640, 480, 24, Pattern);
    ASSERT_TRUE(Load(File("big.bmp")));
    const uint8_t* frame = source.FramePointer();
    ASSERT_NE(frame, nullptr);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(FramePixel(frame, x, y), Pattern(2 * x, 479 - 2 * y)) << x << "," << y;

    // 5×2 (rows padded to 16 bytes, 32 / 10 is still 3): columns change every 64 pixels, rows at y = 120.
    WriteBmp(File("tiny.bmp"), 5, 2, 24, Pattern);
    ASSERT_TRUE(Load(File("tiny.bmp")));
    const struct { int x, y, sx, sy; } samples[] = {
        {0, 0, 0, 1}, {63, 0, 0, 1}, {64, 0, 1, 1}, {127, 119, 1, 1}, {128, 120, 2, 0}, {319, 239, 4, 0},
    };
    for (const auto& s : samples)
        EXPECT_EQ(FramePixel(frame, s.x, s.y), Pattern(s.sx, s.sy)) << s.x << "," << s.y;
}

TEST_F(PictureSource, OtherDepthsAreResampledBilinearly)
{
    // A 320×240 picture through the bilinear scaler comes out unchanged.
    WriteBmp(File("same.bmp"), 320, 240, 32, Pattern);
    ASSERT_TRUE(Load(File("same.bmp")));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(FramePixel(source.FramePointer(), x, y), Pattern(x, 239 - y));

    // 2×2 black and white columns: corners keep their pixels, the middle blends with integer weights.
    const auto columns = [](int x, int) { return x ? Bgr{255, 255, 255} : Bgr{0, 0, 0}; };
    WriteBmp(File("two.bmp"), 2, 2, 32, columns);
    ASSERT_TRUE(Load(File("two.bmp")));
    const uint8_t* frame = source.FramePointer();
    EXPECT_EQ(FramePixel(frame, 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(FramePixel(frame, 319, 239), (Bgr{255, 255, 255}));
    // (255 × 160 × 239 + 38120) / 76241 = 128; (255 × 1 × 239 + 38120) / 76241 = 1.
    EXPECT_EQ(FramePixel(frame, 160, 120), (Bgr{128, 128, 128}));
    EXPECT_EQ(FramePixel(frame, 1, 7), (Bgr{1, 1, 1}));
    EXPECT_EQ(FramePixel(frame, 318, 7), (Bgr{254, 254, 254}));

    // A 24-bit picture one pixel wide has padded rows, so its image size is not 3 bytes a pixel.
    WriteBmp(File("thin.bmp"), 1, 3, 24, [](int, int y) { return Bgr{uint8_t(100 * y), 0, 0}; });
    ASSERT_TRUE(Load(File("thin.bmp")));
    // Rows blend: frame row 60 lies a quarter of the way from the bottom row to the middle one.
    // a = 120, sy = 0, fy = 119: (200 × 319 × 119 + 100 × 319 × 120 + 38120) / 76241 = 150.
    EXPECT_EQ(FramePixel(source.FramePointer(), 5, 60).b, 150);
}

TEST_F(PictureSource, GifIsBroughtTo24BitsAndScaledLikeAStill)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=1", "-frames:v", "2",
                            dir.filePath("anim.gif")});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    ASSERT_TRUE(Load(File("anim.gif")));
    const QImage first = QImage(dir.filePath("anim.gif")).convertToFormat(QImage::Format_BGR888);
    for (int y = 0; y < 240; ++y)
        ASSERT_EQ(std::memcmp(source.FramePointer() + y * 960, first.constScanLine(239 - y), 960), 0) << y;
}

TEST_F(PictureSource, BadFilesLeaveThePreviousFrame)
{
    WriteBmp(File("good.bmp"), 320, 240, 24, Pattern);
    ASSERT_TRUE(Load(File("good.bmp")));
    const std::vector<uint8_t> before(source.Frame(), source.Frame() + 230400);

    WriteFileBytes(File("empty.bmp"), "");
    WriteFileBytes(File("text.png"), "this is no picture at all, just words");
    WriteBmp(File("huge.bmp"), 4, 4, 24, Pattern, 30000, 30000);
    // The most negative height would be a top-down picture of 2^31 rows: no size at all.
    WriteBmp(File("tallest.bmp"), 4, 4, 24, Pattern, 4, std::numeric_limits<int32_t>::min());
    ImageHeaderInfo header;
    EXPECT_FALSE(ReadImageHeader(File("tallest.bmp"), header));
    const std::string good = ReadFileBytes(File("good.bmp"));
    WriteFileBytes(File("cut.bmp"), good.substr(0, 54 + 960 * 10));
    WriteFileBytes(File("wrong.jpg"), good);  // a BMP under a JPEG name is decoded as JPEG
    QImage(50, 50, QImage::Format_RGB888).save(dir.filePath("real.jpeg"), "JPEG");
    for (const char* name : {"empty.bmp", "text.png", "huge.bmp", "tallest.bmp", "missing.bmp", "wrong.jpg", "real.jpeg"}) {
        Load(File(name));
        EXPECT_EQ(std::vector<uint8_t>(source.Frame(), source.Frame() + 230400), before) << name;
        EXPECT_EQ(source.FramePointer(), source.Frame()) << name;
    }
    EXPECT_FALSE(Load(File("huge.bmp")));
    EXPECT_FALSE(Load(File("real.jpeg")));

    // A fresh source that never loaded keeps a null frame pointer.
    CImageSource fresh;
    fresh.SetPath(File("text.png"));
    EXPECT_FALSE(fresh.Load());
    EXPECT_EQ(fresh.FramePointer(), nullptr);
}
