// Capture devices and movie decoding on their real libraries.
#include "zendracam/MovieParseHelper.h"
#include "zendracam/NormalCameraHelper.h"

#include "support/Files.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct NoFrames : IVideoCaptureNotify {
    int OnVideoFrame(uint8_t*, size_t) override { return 0; }
};

bool MakeMovie(const QString& path, double seconds)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                            QString("testsrc2=size=160x120:rate=25:duration=%1").arg(seconds), "-f", "lavfi", "-i",
                            QString("sine=frequency=440:duration=%1").arg(seconds), "-c:v", "mpeg4", "-c:a", "aac",
                            "-shortest", path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
}

// Waits until the movie has opened or ended; whether it opened.
bool WaitUntilOpen(CMovieParseHelper& movie)
{
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (!movie.IsOpen() && movie.GetCurrentPos() > -1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    return movie.IsOpen();
}

}  // namespace

TEST(CaptureDevice, UnknownDeviceFailsCleanly)
{
    CNormalCameraHelper camera;
    NoFrames notify;
    EXPECT_EQ(camera.Connect(0, "No Such Camera", &notify), 0);
    EXPECT_EQ(camera.Connect(0, nullptr, &notify), 0);
    EXPECT_EQ(camera.getDeviceResolutionList(), nullptr);
    EXPECT_FALSE(camera.StartCapture());
    camera.StopCapture();
    // Whatever this machine has, the list never offers our own virtual camera.
    for (auto* device = camera.getDeviceList(0); device; device = device->next)
        EXPECT_STRNE(device->name, "ZENDRA Capture");
}

TEST(MovieDecoder, PlaysAMovieToItsEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.mp4");
    ASSERT_TRUE(MakeMovie(path, 2));

    CMovieParseHelper movie;
    // The file opens in the background: no frame yet, but no end either.
    ASSERT_TRUE(movie.Connect(path.toLocal8Bit().constData()));
    EXPECT_FALSE(movie.IsOpen());
    EXPECT_EQ(movie.GetDataPointer(), nullptr);
    EXPECT_GE(movie.GetCurrentPos(), 0.0);
    ASSERT_TRUE(WaitUntilOpen(movie));
    EXPECT_EQ(movie.GetMovieAllTime(), 2);

    // testsrc2 moves every frame: renders some time apart differ.
    std::vector<std::vector<uint8_t>> frames;
    double lastPos = 0;
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (frames.size() < 4 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(150ms);
        ASSERT_TRUE(movie.PrepareSampleData());
        const uint8_t* data = movie.GetDataPointer();
        ASSERT_NE(data, nullptr);
        frames.emplace_back(data, data + 230400);
        const double pos = movie.GetCurrentPos();
        EXPECT_GE(pos, lastPos);
        lastPos = pos;
    }
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_NE(frames.front(), frames.back());
    EXPECT_GT(lastPos, 0.0);
    EXPECT_TRUE(std::any_of(frames.back().begin(), frames.back().end(), [](uint8_t b) { return b > 32; }));

    // Paused, the position holds.
    ASSERT_TRUE(movie.Pause());
    std::this_thread::sleep_for(100ms);
    const double paused = movie.GetCurrentPos();
    std::this_thread::sleep_for(300ms);
    EXPECT_DOUBLE_EQ(movie.GetCurrentPos(), paused);
    ASSERT_TRUE(movie.SetCurrentPos(0.5));
    ASSERT_TRUE(movie.Play());

    // It runs to the end, where the position reads -1 or less.
    double pos = 0;
    while (std::chrono::steady_clock::now() < until && (pos = movie.GetCurrentPos()) > -1)
        std::this_thread::sleep_for(50ms);
    EXPECT_LE(pos, -1.0);

    EXPECT_TRUE(movie.Stop());
    EXPECT_EQ(movie.GetDataPointer(), nullptr);
    EXPECT_FALSE(movie.PrepareSampleData());
    EXPECT_LE(movie.GetCurrentPos(), -1.0);  // nothing open
}

TEST(MovieDecoder, SeekingMovesThePosition)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.mp4");
    ASSERT_TRUE(MakeMovie(path, 6));
    CMovieParseHelper movie;
    ASSERT_TRUE(movie.Connect(path.toLocal8Bit().constData()));
    ASSERT_TRUE(WaitUntilOpen(movie));
    ASSERT_TRUE(movie.Pause());
    ASSERT_TRUE(movie.SetCurrentPos(0.5));
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (movie.GetMovieCurrentTime() != 3 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(movie.GetMovieCurrentTime(), 3);
    EXPECT_NEAR(movie.GetCurrentPos(), 0.5, 0.05);
}

TEST(MovieDecoder, WhatIsNoMovieEndsAtOnce)
{
    QTemporaryDir dir;
    const std::string junk = dir.filePath("junk.avi").toStdString();
    WriteFileBytes(junk, std::string(4096, '\x5a'));
    const std::string empty = dir.filePath("empty.wmv").toStdString();
    WriteFileBytes(empty, "");
    for (const std::string& path : {junk, empty, dir.filePath("missing.avi").toStdString(), std::string()}) {
        CMovieParseHelper movie;
        movie.Connect(path.c_str());
        EXPECT_FALSE(WaitUntilOpen(movie)) << path;
        // Ended, not playing for ever at 0: whoever waits for the end moves on.
        EXPECT_LE(movie.GetCurrentPos(), -1.0) << path;
        EXPECT_EQ(movie.GetDataPointer(), nullptr);
        EXPECT_FALSE(movie.PrepareSampleData());
        EXPECT_EQ(movie.GetMovieAllTime(), 0);
        EXPECT_FALSE(movie.SetCurrentPos(0.5));
    }
    CMovieParseHelper movie;
    EXPECT_FALSE(movie.Connect(nullptr));
    EXPECT_LE(movie.GetCurrentPos(), -1.0);
}

TEST(MovieDecoder, LeavesTheLocaleAlone)
{
    // The number format is the process's, shared by every thread: the decoder never changes it, and
    // where libmpv refuses to start under it, the movie ends at once.
    if (!std::setlocale(LC_NUMERIC, "C.UTF-8"))
        GTEST_SKIP() << "no C.UTF-8 locale";
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.mp4");
    ASSERT_TRUE(MakeMovie(path, 1));
    CMovieParseHelper movie;
    if (!movie.Connect(path.toLocal8Bit().constData()))
        EXPECT_LE(movie.GetCurrentPos(), -1.0);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C.UTF-8");
    movie.Stop();

    PrepareMovieLocale();
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    ASSERT_TRUE(movie.Connect(path.toLocal8Bit().constData()));
    EXPECT_TRUE(WaitUntilOpen(movie));
}
