// The screen source: the nearest scaler, the arrow, and real grabs from an Xvfb server started here.
#include "pipeline/ArrowCursor.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/ScreenCapBase.h"
#include "zendracam/NearestScale.h"

#include "settings/Settings.h"
#include "Bitmaps.h"
#include "EventLoop.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "XvfbScreen.h"  // Xlib last: its macros clash with Qt's headers

namespace {

std::vector<uint8_t> Picture(int w, int h)
{
    const size_t stride = size_t(((w * 24 + 31) >> 3) & ~3);
    std::vector<uint8_t> picture(stride * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = picture.data() + size_t(y) * stride + 3 * size_t(x);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t((x >> 8) | (y >> 8) << 4);
        }
    return picture;
}

Bgr At(const std::vector<uint8_t>& picture, int w, int x, int y)
{
    const size_t stride = size_t(((w * 24 + 31) >> 3) & ~3);
    const uint8_t* p = picture.data() + size_t(y) * stride + 3 * size_t(x);
    return {p[0], p[1], p[2]};
}

// Keeps the frames the grabber hands over.
class Grabber : public CScreenCapBase {
public:
    void OnScreenFrame(uint8_t* frame, size_t length) override { frames.emplace_back(frame, frame + length); }
    std::vector<std::vector<uint8_t>> frames;
};

}  // namespace

TEST(ScreenScaler, NearestStepsAsSpecified)
{
    std::vector<uint8_t> frame(230400);
    // 640×480: steps 2 × 65536 + 1, so target (x, y) takes source (2x, 2y).
    const auto big = Picture(640, 480);
    zendracam::ScaleNearest24(big.data(), 640, 480, 1920, frame.data(), 320, 240, 960);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(FramePixel(frame.data(), x, y), At(big, 640, 2 * x, 2 * y)) << x << "," << y;
    // 320×240: steps 65537, the picture is copied unchanged.
    const auto same = Picture(320, 240);
    zendracam::ScaleNearest24(same.data(), 320, 240, 960, frame.data(), 320, 240, 960);
    EXPECT_EQ(frame, same);
    // 101×50 (rows padded to 304 bytes): xstep = 20685, ystep = 13654.
    const auto odd = Picture(101, 50);
    zendracam::ScaleNearest24(odd.data(), 101, 50, 304, frame.data(), 320, 240, 960);
    const struct { int x, y, sx, sy; } samples[] = {
        {0, 0, 0, 0}, {1, 0, 0, 0}, {4, 0, 1, 0}, {319, 0, 100, 0}, {0, 5, 0, 1}, {0, 239, 0, 49}, {100, 100, 31, 20},
    };
    for (const auto& s : samples)
        EXPECT_EQ(FramePixel(frame.data(), s.x, s.y), At(odd, 101, s.sx, s.sy)) << s.x << "," << s.y;
}

TEST(ScreenScaler, ArrowIsDrawnAndClipped)
{
    const int w = 40, h = 30;
    const size_t stride = 120;
    std::vector<uint8_t> picture(stride * h, 128);
    DrawArrowCursor(picture.data(), w, h, stride, 10, 5);
    const auto pixel = [&](int x, int yFromTop) { return At(picture, w, x, h - 1 - yFromTop); };
    EXPECT_EQ(pixel(10, 5), (Bgr{0, 0, 0}));           // the tip is the hot spot
    EXPECT_EQ(pixel(11, 7), (Bgr{255, 255, 255}));     // body
    EXPECT_EQ(pixel(12, 6), (Bgr{128, 128, 128}));     // outside the arrow
    EXPECT_EQ(pixel(10, 20), (Bgr{0, 0, 0}));          // outline of the long edge
    // Partly or wholly outside: only what falls inside is drawn.
    DrawArrowCursor(picture.data(), w, h, stride, 35, 25);
    EXPECT_EQ(pixel(35, 25), (Bgr{0, 0, 0}));
    DrawArrowCursor(picture.data(), w, h, stride, -5, -5);
    DrawArrowCursor(picture.data(), w, h, stride, 1000, -1000);
}

TEST(ScreenGrab, GrabsTheRectangleWithThePointerUnderXvfb)
{
    XvfbScreen screen;
    if (QStandardPaths::findExecutable("Xvfb").isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_NE(screen.display(), nullptr) << "Xvfb did not start";
    screen.Paint();
    screen.MovePointer(300, 201);
    TestApplication();

    Grabber grabber;
    ASSERT_TRUE(grabber.StartScreenCapture());
    grabber.StopScreenCapture();

    // The whole screen: frame (x, y) is screen (2x, 479 - 2y), with the arrow's tip at (300, 201).
    grabber.SetCaptureRect(0, 0, 640, 480);
    grabber.GrabScreenFrame();
    ASSERT_EQ(grabber.frames.size(), 1u);
    const uint8_t* frame = grabber.frames[0].data();
    EXPECT_EQ(FramePixel(frame, 0, 0), XvfbScreen::ColourAt(0, 479));
    EXPECT_EQ(FramePixel(frame, 100, 60), XvfbScreen::ColourAt(200, 359));
    EXPECT_EQ(FramePixel(frame, 319, 239), XvfbScreen::ColourAt(638, 1));
    EXPECT_EQ(FramePixel(frame, 150, 139), (Bgr{0, 0, 0}));             // tip: screen (300, 201)
    EXPECT_EQ(FramePixel(frame, 151, 135), (Bgr{255, 255, 255}));       // body: screen (302, 209)

    // A region of 320×240 is copied unchanged; one reaching past the screen is clamped to it.
    grabber.SetCaptureRect(32, 48, 352, 288);
    grabber.GrabScreenFrame();
    const uint8_t* part = grabber.frames.back().data();
    EXPECT_EQ(FramePixel(part, 0, 239), XvfbScreen::ColourAt(32, 48));
    EXPECT_EQ(FramePixel(part, 319, 0), XvfbScreen::ColourAt(351, 287));
    grabber.SetCaptureRect(-100, -50, 5000, 5000);
    grabber.GrabScreenFrame();
    EXPECT_EQ(grabber.frames.back(), grabber.frames[0]);

    // Zero-size regions and a paused grabber give no frame.
    const size_t count = grabber.frames.size();
    grabber.SetCaptureRect(100, 100, 100, 300);
    grabber.GrabScreenFrame();
    grabber.SetCaptureRect(700, 0, 800, 100);
    grabber.GrabScreenFrame();
    grabber.SetCaptureRect(0, 0, 640, 480);
    grabber.PauseScreenCapture();
    grabber.GrabScreenFrame();
    EXPECT_EQ(grabber.frames.size(), count);
}

TEST(ScreenGrab, TimerFeedsThePipelineUnderXvfb)
{
    XvfbScreen screen;
    if (QStandardPaths::findExecutable("Xvfb").isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_NE(screen.display(), nullptr) << "Xvfb did not start";
    screen.Paint();
    screen.MovePointer(639, 479);
    TestApplication();
    Settings = SettingsRecord();
    Settings.AdjustColor.Forbid = false;
    Settings.AdjustColor.Contrast = 0;  // every byte becomes 127
    CCaptureScr sink;
    sink.SetSourceKind(SOURCE_SCREEN);
    std::vector<std::vector<uint8_t>> written;
    sink.SetFrameTap([&](const uint8_t* f, size_t n) { written.emplace_back(f, f + n); });
    sink.SetCaptureRect(0, 0, 640, 480);
    ASSERT_TRUE(sink.StartScreenCapture());
    ASSERT_TRUE(RunEventsUntil([&] { return written.size() >= 2; }, 5000));
    EXPECT_EQ(written.back(), std::vector<uint8_t>(230400, 127));
    sink.PauseScreenCapture();
    const size_t count = written.size();
    RunEventsUntil([] { return false; }, 500);
    EXPECT_EQ(written.size(), count);  // paused: the virtual camera keeps its last frame
    sink.StopScreenCapture();
}

TEST(ScreenGrab, RecordingTakesTheScreenWithoutEffects)
{
    XvfbScreen screen;
    if (QStandardPaths::findExecutable("Xvfb").isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_NE(screen.display(), nullptr) << "Xvfb did not start";
    screen.Paint();
    TestApplication();
    Settings = SettingsRecord();
    Settings.AdjustColor.Forbid = false;
    Settings.AdjustColor.Contrast = 0;  // the virtual camera gets flat grey
    QTemporaryDir dir;
    const QString wmv = dir.filePath("screen.wmv");
    {
        CCaptureScr sink;
        sink.SetSourceKind(SOURCE_SCREEN);
        size_t written = 0;
        sink.SetFrameTap([&](const uint8_t*, size_t) { ++written; });
        sink.SetCaptureRect(0, 0, 640, 480);
        ASSERT_TRUE(sink.StartScreenCapture());
        sink.StartScreenRecording(wmv.toStdString());
        EXPECT_TRUE(sink.IsScreenRecording());
        ASSERT_TRUE(RunEventsUntil([&] { return written >= 8; }, 10000));
        sink.StopScreenRecording();
        sink.StopScreenCapture();
        EXPECT_FALSE(sink.IsScreenRecording());
    }
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries", "stream=codec_name,width,height",
                            "-of", "csv=p=0", wmv});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.readAllStandardOutput().trimmed(), "wmv2,320,240");

    // A decoded picture shows the painted squares, not the grey of the adjusted output.
    QProcess decode;
    decode.start("ffmpeg", {"-v", "error", "-i", wmv, "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    ASSERT_TRUE(decode.waitForFinished(30000));
    const QByteArray rgb = decode.readAllStandardOutput();
    ASSERT_EQ(rgb.size(), 230400);
    // Screen (600, 16) is the square of column 37, row 1: red 222, green 8, blue 64.
    const auto* p = reinterpret_cast<const uint8_t*>(rgb.constData()) + (8 * 320 + 300) * 3;
    EXPECT_NEAR(p[0], 222, 24);
    EXPECT_NEAR(p[2], 64, 24);
}
