// The virtual camera: writer, shared-memory frame area and read-back, in this process and another.
#include "zendracam/CameraWriterHelper.h"
#include "zendracam/ZendraCameraHelper.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace zendracam;

namespace {

std::string UniqueArea(const char* what)
{
    return std::string("/dev/shm/korvel-test-") + what + "-" + std::to_string(getpid());
}

std::vector<uint8_t> PatternFrame(int seed)
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t((i * 31 + i / kFrameStride * 7 + seed) & 0xFF);
    return frame;
}

// Collects frames from the read-back.
struct Collector : IVideoCaptureNotify {
    int OnVideoFrame(uint8_t* frame, size_t length) override
    {
        std::lock_guard lock(mutex);
        frames.emplace_back(frame, frame + length);
        changed.notify_all();
        return 1;
    }
    // True once `frame` came.
    bool WaitFor(const std::vector<uint8_t>& frame)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return std::find(frames.begin(), frames.end(), frame) != frames.end(); });
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::vector<uint8_t>> frames;
};

}  // namespace

TEST(VirtualCamera, FramesReachAReaderInAnotherProcess)
{
    const std::string area = UniqueArea("roundtrip");
    CCameraWriterHelper writer(area);
    ASSERT_TRUE(writer.InitDevice({}));
    const auto frame = PatternFrame(5);
    ASSERT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);

    QTemporaryDir dir;
    const QString png = dir.filePath("snap.png");
    QProcess viewer;
    viewer.start(ZENDRACAM_VIEW, {"--area", QString::fromStdString(area), "--snapshot", png});
    ASSERT_TRUE(viewer.waitForFinished(30000));
    ASSERT_EQ(viewer.exitCode(), 0) << viewer.readAllStandardError().toStdString();

    const QImage image = QImage(png).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(image.size(), QSize(kFrameWidth, kFrameHeight));
    // The viewer shows the picture the right way up: frame row r is picture row 239 - r.
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const uint8_t* p = frame.data() + size_t(kFrameHeight - 1 - y) * kFrameStride + 3 * size_t(x);
            const uint8_t* q = image.constScanLine(y) + 3 * x;
            ASSERT_TRUE(q[0] == p[2] && q[1] == p[1] && q[2] == p[0]) << x << "," << y;
        }

    writer.UninitDevice();
    viewer.start(ZENDRACAM_VIEW, {"--area", QString::fromStdString(area), "--snapshot", dir.filePath("none.png")});
    ASSERT_TRUE(viewer.waitForFinished(30000));
    EXPECT_EQ(viewer.exitCode(), 1);
}

TEST(VirtualCamera, ReaderNeverSeesATornFrame)
{
    const std::string area = UniqueArea("torn");
    CCameraWriterHelper writer(area);
    ASSERT_TRUE(writer.InitDevice({}));
    std::atomic<bool> stop{false};
    std::thread writing([&] {
        std::vector<uint8_t> frame(kFrameBytes);
        for (int k = 1; !stop; ++k) {
            std::fill(frame.begin(), frame.end(), uint8_t(k));
            writer.SetOrgBmp24Data(frame.data(), frame.size());
        }
    });
    CFrameAreaReader reader;
    ASSERT_TRUE(reader.Open(area));
    std::vector<uint8_t> frame(kFrameBytes);
    uint32_t sequence = 0;
    int reads = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (reads < 300 && std::chrono::steady_clock::now() < until) {
        if (!reader.ReadNewer(frame.data(), sequence))
            continue;
        ++reads;
        const uint8_t first = frame[0];
        ASSERT_TRUE(std::all_of(frame.begin(), frame.end(), [&](uint8_t b) { return b == first; }));
    }
    stop = true;
    writing.join();
    EXPECT_GT(reads, 0);
}

TEST(VirtualCamera, ReadBackDeliversFramesAndDescribesThem)
{
    const std::string area = UniqueArea("readback");
    CZendraCameraHelper camera(area);
    uint8_t header[44] = {};
    ASSERT_TRUE(camera.GetVideoFormat(header, sizeof header));
    const uint8_t expected[40] = {40, 0, 0, 0, 0x40, 1, 0, 0, 240, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                  0x00, 0x84, 0x03, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(header, header + 40), std::vector<uint8_t>(expected, expected + 40));
    EXPECT_FALSE(camera.GetVideoFormat(header, 39));

    // Started before the writer exists: it finds the area once it appears.
    Collector collector;
    EXPECT_FALSE(camera.Connect(&collector));
    ASSERT_TRUE(camera.StartCapture());
    CCameraWriterHelper writer(area);
    ASSERT_TRUE(writer.InitDevice({}));
    const auto first = PatternFrame(1), second = PatternFrame(2);
    writer.SetOrgBmp24Data(first.data(), first.size());
    ASSERT_TRUE(collector.WaitFor(first));
    writer.SetOrgBmp24Data(second.data(), second.size());
    ASSERT_TRUE(collector.WaitFor(second));
    camera.StopCapture();
    // Nothing but the writer's black start, our two frames and repeats of them.
    std::lock_guard lock(collector.mutex);
    const std::vector<uint8_t> black(kFrameBytes, 0);
    for (const auto& frame : collector.frames)
        EXPECT_TRUE(frame == black || frame == first || frame == second);
}

TEST(VirtualCamera, WriterRefusesShortFramesAndWorksOnlyWhenSetUp)
{
    CCameraWriterHelper writer(UniqueArea("short"));
    const auto frame = PatternFrame(0);
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 0);
    ASSERT_TRUE(writer.InitDevice({}));
    EXPECT_FALSE(writer.HasLoopbackDevice());
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size() - 1), 0);
    EXPECT_EQ(writer.SetOrgBmp24Data(nullptr, frame.size()), 0);
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);
    writer.UninitDevice();
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 0);
}
