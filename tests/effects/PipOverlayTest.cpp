// Picture-in-picture: geometry, movements, zoom reset, mask, background by file ending.
#include "effects/PipOverlay.h"

#include "FrameFixture.h"
#include "PacingRecorder.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A frame where every pixel's colour tells its position.
TestFrame Numbered()
{
    TestFrame frame;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x)
            frame.Set(x, y, {x & 0xFF, y, (x >> 8) * 100 + 1});
    return frame;
}

class PipOverlayTest : public ::testing::Test {
protected:
    PipOverlayTest()
    {
        settings_.FloatType = 0;
        settings_.HOffset = 50;
        settings_.VOffset = 50;
        settings_.ZoomSize = 60;
        settings_.Contrast = 100;
        settings_.FrontImg = Picture("white.jpg", kFrameWidth, kFrameHeight, Qt::white, "JPG");
        pip_.SetPipClose(false);
    }

    std::string Picture(const std::string& name, int w, int h, QColor colour, const char* format,
                        QImage::Format pixels = QImage::Format_RGB32)
    {
        QImage image(w, h, pixels);
        image.fill(colour);
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        EXPECT_TRUE(image.save(QString::fromStdString(path), format, 100));
        return path;
    }

    QTemporaryDir dir_;
    PacingRecorder pacing_;
    SettingsRecord::InnerImgGroup settings_;
    CPipOverlay pip_;
};

}  // namespace

TEST_F(PipOverlayTest, CopyGeometryAtTheLargestZoom)
{
    for (int zoomSize : {60, 99}) {
        settings_.ZoomSize = zoomSize;
        pip_.SetPip(settings_);
        EXPECT_DOUBLE_EQ(pip_.CurrentState().Zoom, 0.6);
        const TestFrame original = Numbered();
        TestFrame frame = original;
        pip_.DrawPip(frame.data());
        const float s = 1.0f / 0.6f;
        for (int y = 0; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x) {
                const bool inside = x >= 50 && x <= 241 && y >= 50 && y <= 193;
                const Bgr expected = inside ? original.At(int(float(x - 50) * s), int(float(y - 50) * s))
                                            : original.At(x, y);
                ASSERT_EQ(frame.At(x, y), expected) << x << "," << y;
            }
    }
    EXPECT_EQ(PacingRecorder::Pauses(), (std::vector<int>{30, 30}));
}

TEST_F(PipOverlayTest, MovementsPerFrame)
{
    const struct {
        int32_t floatType;
        int dx, dy;
        double dzoom;
    } cases[] = {{0, 0, 0, 0}, {1, 1, 1, 0.005}, {2, 1, 1, 0}, {3, 1, 0, 0}, {4, 0, 1, 0}, {9, 0, 0, 0}};
    settings_.ZoomSize = 20;
    for (const auto& c : cases) {
        settings_.FloatType = c.floatType;
        pip_.SetPip(settings_);
        TestFrame frame;
        pip_.DrawPip(frame.data());
        const CPipOverlay::State state = pip_.CurrentState();
        EXPECT_EQ(state.PosX, 50 + c.dx) << c.floatType;
        EXPECT_EQ(state.PosY, 50 + c.dy) << c.floatType;
        EXPECT_DOUBLE_EQ(state.Zoom, 0.2 + c.dzoom) << c.floatType;
    }
}

TEST_F(PipOverlayTest, HorizontalDriftStartsAgainAtTheLeftEdge)
{
    settings_.FloatType = 3;
    settings_.HOffset = 128;
    pip_.SetPip(settings_);
    const TestFrame original = Numbered();
    std::vector<int> drawnAt;
    for (int i = 0; i < 3; ++i) {
        TestFrame frame = original;
        pip_.DrawPip(frame.data());
        for (int x = 0; x < kFrameWidth; ++x)
            if (frame.At(x, 100) != original.At(x, 100)) {
                drawnAt.push_back(x);
                break;
            }
    }
    // At 128, then 129 + 192 > 320 sends it to 0, then on from 1.
    EXPECT_EQ(drawnAt, (std::vector<int>{128, 0, 1}));
    EXPECT_EQ(pip_.CurrentState().PosX, 2);
}

TEST_F(PipOverlayTest, GrowingCopyStartsAgainSmall)
{
    settings_.FloatType = 1;
    settings_.HOffset = 0;
    settings_.VOffset = 0;
    pip_.SetPip(settings_);
    const TestFrame original = Numbered();
    TestFrame first = original;
    pip_.DrawPip(first.data());
    EXPECT_DOUBLE_EQ(pip_.CurrentState().Zoom, 0.605);
    // The next frame draws 193 × 145 at (1, 1); then the size starts again at 0.1 and grows once.
    TestFrame second = original;
    pip_.DrawPip(second.data());
    EXPECT_NE(second.At(193, 50), original.At(193, 50));
    EXPECT_EQ(second.At(194, 50), original.At(194, 50));
    EXPECT_NE(second.At(50, 145), original.At(50, 145));
    EXPECT_EQ(second.At(50, 146), original.At(50, 146));
    EXPECT_DOUBLE_EQ(pip_.CurrentState().Zoom, 0.1 + 0.005);
}

TEST_F(PipOverlayTest, GreyMaskMixesCopyAndFrame)
{
    // A grey-scale JPEG: one channel, read as 24-bit pixels whose blue is 128.
    settings_.FrontImg = Picture("grey.jpg", kFrameWidth, kFrameHeight, QColor(128, 128, 128), "JPG",
                                 QImage::Format_Grayscale8);
    ASSERT_EQ(QImage(QString::fromStdString(settings_.FrontImg)).pixelColor(10, 10).blue(), 128);
    settings_.HOffset = 128;
    settings_.VOffset = 0;
    pip_.SetPip(settings_);
    // The copy's left part samples white video and lands on black video.
    TestFrame frame;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < 128; ++x)
            frame.Set(x, y, {255, 255, 255});
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.At(130, 10), (Bgr{128, 128, 128}));
    EXPECT_EQ(frame.At(300, 10), (Bgr{0, 0, 0}));
    EXPECT_EQ(frame.At(100, 10), (Bgr{255, 255, 255}));
}

TEST_F(PipOverlayTest, BackgroundIsChosenByTheFileEnding)
{
    const struct {
        std::string name;
        const char* format;
        bool used;
    } cases[] = {
        {"bg.png", "PNG", true},  {"bg.BMP", "BMP", true},   {"bg.jpg", "JPG", true},
        {"bg.JPG", "JPG", true},  {"bg.jpeg", "JPG", false}, {"bg.gif.png", "PNG", true},
        {"bg.txt", "PNG", false}, {"jpegdata.png", "JPG", false},
    };
    settings_.ZoomSize = 0;  // no copy: the background alone shows
    for (const auto& c : cases) {
        settings_.BackImg = Picture(c.name, 64, 48, QColor(200, 100, 50), c.format);
        pip_.SetPip(settings_);
        TestFrame frame({1, 2, 3});
        pip_.DrawPip(frame.data());
        const Bgr p = frame.At(160, 120);
        if (c.used)
            EXPECT_TRUE(std::abs(p.b - 50) <= 2 && std::abs(p.g - 100) <= 2 && std::abs(p.r - 200) <= 2)
                << c.name << " " << p;
        else
            EXPECT_EQ(p, (Bgr{1, 2, 3})) << c.name;
    }
}

TEST_F(PipOverlayTest, HostileBackgroundsAndZeroSizeLeaveTheFrame)
{
    // A BMP header claiming 100000 × 100000 pixels, a cut PNG, an empty file.
    std::string bomb = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bomb += char((v >> (8 * i)) & 0xFF);
    };
    put32(70);
    put32(0);
    put32(54);
    put32(40);
    put32(100000);
    put32(100000);
    bomb += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        put32(0);
    bomb += std::string(16, '\x7f');
    const std::string png = Picture("whole.png", 64, 48, Qt::red, "PNG");
    QFile whole(QString::fromStdString(png));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray cut = whole.read(60);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {{"bomb.bmp", bomb}, {"cut.png", cut.toStdString()}, {"empty.jpg", ""}};
    settings_.ZoomSize = 0;
    settings_.FloatType = 2;
    for (const auto& file : files) {
        settings_.BackImg = dir_.filePath(file.name).toStdString();
        QFile out(QString::fromStdString(settings_.BackImg));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.bytes.data(), qint64(file.bytes.size()));
        out.close();
        pip_.SetPip(settings_);
        const TestFrame original = Numbered();
        TestFrame frame = original;
        pip_.DrawPip(frame.data());
        EXPECT_EQ(frame.bytes, original.bytes) << file.name;
        // With no copy to draw the step still moves and pauses.
        EXPECT_EQ(pip_.CurrentState().PosX, 51) << file.name;
    }
    EXPECT_EQ(PacingRecorder::Pauses().size(), 3u);
}

TEST_F(PipOverlayTest, BackgroundIsStretchedOverTheFrameBottomUp)
{
    QImage quadrants(2, 2, QImage::Format_RGB32);
    quadrants.setPixel(0, 0, qRgb(10, 0, 0));  // top left
    quadrants.setPixel(1, 0, qRgb(20, 0, 0));
    quadrants.setPixel(0, 1, qRgb(30, 0, 0));  // bottom left
    quadrants.setPixel(1, 1, qRgb(40, 0, 0));
    settings_.BackImg = dir_.filePath("q.png").toStdString();
    ASSERT_TRUE(quadrants.save(QString::fromStdString(settings_.BackImg)));
    settings_.ZoomSize = 0;
    pip_.SetPip(settings_);
    TestFrame frame;
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.At(0, 0).r, 30);
    EXPECT_EQ(frame.At(159, 119).r, 30);
    EXPECT_EQ(frame.At(160, 119).r, 40);
    EXPECT_EQ(frame.At(159, 120).r, 10);
    EXPECT_EQ(frame.At(319, 239).r, 20);
}

TEST_F(PipOverlayTest, UnusableMasksDrawNothingMoveNothingPauseNot)
{
    const std::string wrongSize = Picture("small.jpg", 160, 120, Qt::white, "JPG");
    const std::string png = Picture("mask.png", kFrameWidth, kFrameHeight, Qt::white, "PNG");
    const std::string truncated = dir_.filePath("cut.jpg").toStdString();
    {
        QFile whole(QString::fromStdString(settings_.FrontImg));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        QFile cut(QString::fromStdString(truncated));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(300));
    }
    settings_.FloatType = 2;
    settings_.BackImg = Picture("bg.png", 64, 48, Qt::red, "PNG");
    for (const std::string& mask : {std::string(), wrongSize, png, truncated, dir_.filePath("none.jpg").toStdString()}) {
        settings_.FrontImg = mask;
        pip_.SetPip(settings_);
        const TestFrame original = Numbered();
        TestFrame frame = original;
        pip_.DrawPip(frame.data());
        EXPECT_EQ(frame.bytes, original.bytes) << mask;
        EXPECT_EQ(pip_.CurrentState().PosX, 50) << mask;
    }
    EXPECT_TRUE(PacingRecorder::Pauses().empty());
}

TEST_F(PipOverlayTest, ANewMaskPathTakesEffectOnTheNextFrame)
{
    pip_.SetPip(settings_);
    const TestFrame original = Numbered();
    TestFrame frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_NE(frame.bytes, original.bytes);
    settings_.FrontImg = Picture("black.jpg", kFrameWidth, kFrameHeight, Qt::black, "JPG");
    pip_.SetPip(settings_);
    frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.bytes, original.bytes) << "a black mask hides the copy";
}

TEST_F(PipOverlayTest, OffsetsOutsideTheFrameStartAtTheEdge)
{
    const struct {
        int32_t h, v;
    } cases[] = {{-40, -3}, {1000000, 50}, {50, 2147483647}, {-2147483647 - 1, 0}};
    for (const auto& c : cases) {
        settings_.HOffset = c.h;
        settings_.VOffset = c.v;
        pip_.SetPip(settings_);
        TestFrame frame = Numbered();
        pip_.DrawPip(frame.data());
        const CPipOverlay::State state = pip_.CurrentState();
        EXPECT_TRUE(state.PosX >= 0 && state.PosX + 192 <= 320) << c.h;
        EXPECT_TRUE(state.PosY >= 0 && state.PosY + 144 <= 240) << c.v;
    }
    settings_.ZoomSize = -30;  // a size below 0 draws no copy
    settings_.HOffset = settings_.VOffset = 0;
    pip_.SetPip(settings_);
    TestFrame frame = Numbered();
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.bytes, Numbered().bytes);
}

TEST_F(PipOverlayTest, SetPipLeavesTheSwitchAlone)
{
    CPipOverlay fresh;
    EXPECT_FALSE(fresh.Enabled());
    const CPipOverlay::State state = fresh.CurrentState();
    EXPECT_EQ(state.FloatType, 1);
    EXPECT_DOUBLE_EQ(state.Zoom, 0.1);
    EXPECT_DOUBLE_EQ(state.Opacity, 0.9);
    fresh.SetPip(settings_);
    EXPECT_FALSE(fresh.Enabled());
    fresh.SetPipClose(false);
    EXPECT_TRUE(fresh.Enabled());
    fresh.SetPipClose(true);
    EXPECT_FALSE(fresh.Enabled());
}

TEST_F(PipOverlayTest, PicturesAreLookedAtAgainWhenTheirFileChanges)
{
    // A mask that is missing at first shows once it appears; one replaced under the same path shows the
    // new picture; a background likewise.
    const std::string mask = dir_.filePath("late.jpg").toStdString();
    settings_.FrontImg = mask;
    settings_.ZoomSize = 20;
    pip_.SetPip(settings_);
    const TestFrame original = Numbered();
    TestFrame frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.bytes, original.bytes) << "no mask yet";

    Picture("late.jpg", kFrameWidth, kFrameHeight, Qt::white, "JPG");
    frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_NE(frame.At(60, 60), original.At(60, 60)) << "the mask that appeared is used";

    // A black picture of another size in its place: the copy is hidden.
    QImage black(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(QString::fromStdString(mask), "JPG", 10));
    frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.bytes, original.bytes) << "the replaced mask is used";

    settings_.ZoomSize = 0;
    settings_.BackImg = Picture("bg.png", 8, 8, QColor(200, 0, 0), "PNG");
    pip_.SetPip(settings_);
    frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.At(5, 5), (Bgr{0, 0, 200}));
    Picture("bg.png", 16, 16, QColor(0, 0, 200), "PNG");
    frame = original;
    pip_.DrawPip(frame.data());
    EXPECT_EQ(frame.At(5, 5), (Bgr{200, 0, 0})) << "the replaced background is used";
}
