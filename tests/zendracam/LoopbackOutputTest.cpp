// The loopback output's conversions, fed through the writer into a pipe that stands in for the device.
#include "zendracam/CameraWriterHelper.h"
#include "zendracam/LoopbackOutput.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace zendracam;

namespace {

v4l2_pix_format Format(uint32_t pixelformat, uint32_t width, uint32_t height, uint32_t bytesperline)
{
    v4l2_pix_format f {};
    f.pixelformat = pixelformat;
    f.width = width;
    f.height = height;
    f.bytesperline = bytesperline;
    f.sizeimage = bytesperline * height;
    return f;
}

// A frame whose bottom row (the first in memory) is red, top row blue, the rest white and black by column.
std::vector<uint8_t> TestFrame()
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            uint8_t* p = frame.data() + size_t(y) * kFrameStride + 3 * size_t(x);
            const std::array<uint8_t, 3> bgr = y == 0 ? std::array<uint8_t, 3>{0, 0, 255}
                                               : y == kFrameHeight - 1 ? std::array<uint8_t, 3>{255, 0, 0}
                                               : x % 2 ? std::array<uint8_t, 3>{0, 0, 0}
                                                       : std::array<uint8_t, 3>{255, 255, 255};
            std::copy(bgr.begin(), bgr.end(), p);
        }
    return frame;
}

// Writes one frame through a writer whose loopback output is the write end of a pipe; returns what
// one read of the pipe gives.
std::vector<uint8_t> WriteThroughPipe(const v4l2_pix_format& format)
{
    int fds[2];
    EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    auto output = CLoopbackOutput::Adopt(fds[1], format);
    EXPECT_TRUE(output);
    CCameraWriterHelper writer("/korvel-test-loopback-" + std::to_string(getpid()));
    writer.InitDevice(std::move(output));
    EXPECT_TRUE(writer.HasLoopbackDevice());
    const auto frame = TestFrame();
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);
    writer.UninitDevice();  // closes the write end
    std::vector<uint8_t> got(format.sizeimage + 1);
    size_t total = 0;
    for (ssize_t n; (n = read(fds[0], got.data() + total, got.size() - total)) > 0;)
        total += size_t(n);
    close(fds[0]);
    got.resize(total);
    return got;
}

}  // namespace

TEST(LoopbackOutput, YuyvRowsAreTopDownInStudioRange)
{
    for (const bool uyvy : {false, true}) {
        const auto got = WriteThroughPipe(Format(uyvy ? V4L2_PIX_FMT_UYVY : V4L2_PIX_FMT_YUYV, 320, 240, 640));
        ASSERT_EQ(got.size(), 640u * 240);
        const auto pair = [&](int row, int pairIndex) {
            const uint8_t* q = got.data() + size_t(row) * 640 + 4 * size_t(pairIndex);
            // As Y0 U Y1 V whatever the byte order.
            return uyvy ? std::array<int, 4>{q[1], q[0], q[3], q[2]} : std::array<int, 4>{q[0], q[1], q[2], q[3]};
        };
        EXPECT_EQ(pair(0, 0), (std::array<int, 4>{41, 240, 41, 110}));    // blue, at the top
        EXPECT_EQ(pair(239, 5), (std::array<int, 4>{82, 90, 82, 240}));   // red, at the bottom
        EXPECT_EQ(pair(100, 7), (std::array<int, 4>{235, 128, 16, 128})); // white then black
    }
}

TEST(LoopbackOutput, Rgb24AndBgr24KeepTheDevicesRowLength)
{
    for (const bool rgb : {false, true}) {
        const auto got = WriteThroughPipe(Format(rgb ? V4L2_PIX_FMT_RGB24 : V4L2_PIX_FMT_BGR24, 320, 240, 1024));
        ASSERT_EQ(got.size(), 1024u * 240);
        const auto pixel = [&](int row, int x) {
            const uint8_t* q = got.data() + size_t(row) * 1024 + 3 * size_t(x);
            return rgb ? std::array<int, 3>{q[2], q[1], q[0]} : std::array<int, 3>{q[0], q[1], q[2]};
        };
        EXPECT_EQ(pixel(0, 319), (std::array<int, 3>{255, 0, 0}));
        EXPECT_EQ(pixel(239, 0), (std::array<int, 3>{0, 0, 255}));
        EXPECT_EQ(pixel(50, 3), (std::array<int, 3>{0, 0, 0}));
    }
}

TEST(LoopbackOutput, FormatsWeCannotWriteAreRefused)
{
    const v4l2_pix_format refused[] = {
        Format(V4L2_PIX_FMT_YUYV, 640, 480, 1280), Format(V4L2_PIX_FMT_MJPEG, 320, 240, 640),
        Format(V4L2_PIX_FMT_YUYV, 320, 240, 320),  // rows too short
    };
    for (const auto& format : refused) {
        const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
        EXPECT_FALSE(CLoopbackOutput::Adopt(fd, format));
    }
}

TEST(LoopbackOutput, NoDeviceOnThisMachineMeansSharedMemoryOnly)
{
    // Without a v4l2loopback device labelled for us there is nothing to open, and the writer still works.
    if (CLoopbackOutput::Open(kVirtualCameraName))
        GTEST_SKIP() << "a ZENDRA Capture loopback device exists here";
    CCameraWriterHelper writer("/korvel-test-nodevice-" + std::to_string(getpid()));
    EXPECT_TRUE(writer.InitDevice());
    EXPECT_FALSE(writer.HasLoopbackDevice());
}
