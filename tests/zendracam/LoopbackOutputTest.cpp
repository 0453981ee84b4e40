// The loopback output against devices that answer as v4l2loopback drivers do: which device it takes,
// what it asks of it and in what order, and the frames it writes.
#include "zendracam/CameraWriterHelper.h"
#include "zendracam/LoopbackOutput.h"

#include "FakeVideoDevice.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

std::shared_ptr<FakeVideoDevice> Device(const std::string& card, uint32_t caps = V4L2_CAP_VIDEO_OUTPUT)
{
    auto device = std::make_shared<FakeVideoDevice>();
    device->card = card;
    device->deviceCaps = caps;
    return device;
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

// Writes the test frame through a writer whose loopback device takes `format`; returns what the
// device got for it.
std::vector<uint8_t> WriteThroughDevice(const v4l2_pix_format& format)
{
    auto device = Device("ZENDRA Capture");
    device->fixedFormat = true;
    device->format = format;
    CCameraWriterHelper::Outputs outputs;
    outputs.loopback = CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond, FakeNodes({{"/dev/video0", device}}));
    EXPECT_TRUE(outputs.loopback);
    CCameraWriterHelper writer("/dev/shm/korvel-test-loopback-" + std::to_string(getpid()));
    writer.InitDevice(std::move(outputs));
    EXPECT_TRUE(writer.HasLoopbackDevice());
    const auto frame = TestFrame();
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);
    writer.UninitDevice();
    const auto writes = device->Writes();
    EXPECT_GE(writes.size(), 2u);  // the black frame from InitDevice, then ours
    return writes.size() >= 2 ? writes[1].bytes : std::vector<uint8_t>{};
}

}  // namespace

TEST(LoopbackOutput, TakesTheLabelledOutputAndStartsItsStreamAtTheWritersRate)
{
    auto camera = Device("ZENDRA Capture", V4L2_CAP_VIDEO_CAPTURE);  // fed by another writer already
    auto other = Device("Dummy video device (0x0000)");
    auto longer = Device("ZENDRA Capture 2");
    auto ours = Device("ZENDRA Capture");
    const auto output = CLoopbackOutput::Open(
        kVirtualCameraName, kWriterFramesPerSecond,
        FakeNodes({{"/dev/video0", camera}, {"/dev/video1", other}, {"/dev/video4", longer}, {"/dev/video9", ours}}));
    ASSERT_TRUE(output);
    for (const auto& passed : {camera, other, longer})
        EXPECT_EQ(passed->calls, std::vector<std::string>{"QUERYCAP"});
    EXPECT_EQ(ours->calls, (std::vector<std::string>{"QUERYCAP", "S_FMT", "G_FMT", "STREAMON", "S_PARM"}));
    EXPECT_EQ(ours->format.pixelformat, uint32_t(V4L2_PIX_FMT_YUYV));
    EXPECT_EQ(ours->format.width, 320u);
    EXPECT_EQ(ours->format.height, 240u);
    EXPECT_EQ(ours->parm.type, uint32_t(V4L2_BUF_TYPE_VIDEO_OUTPUT));
    EXPECT_TRUE(ours->parm.parm.output.capability & V4L2_CAP_TIMEPERFRAME);
    EXPECT_EQ(ours->parm.parm.output.timeperframe.numerator, 1u);
    EXPECT_EQ(ours->parm.parm.output.timeperframe.denominator, uint32_t(kWriterFramesPerSecond));
}

TEST(LoopbackOutput, StreamStartAsEachDriverAnswersIt)
{
    const struct {
        const char* driver;
        int streamOn;
        bool used;
    } cases[] = {
        {"0.12, starts on STREAMON", 0, true},
        {"newer, starts inside write()", -EINVAL, true},
        {"busy with another writer", -EBUSY, false},
    };
    for (const auto& c : cases) {
        auto device = Device("ZENDRA Capture");
        device->streamOnResult = c.streamOn;
        const auto output = CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond, FakeNodes({{"/dev/video2", device}}));
        EXPECT_EQ(output != nullptr, c.used) << c.driver;
    }
}

TEST(LoopbackOutput, YuyvRowsAreTopDownInStudioRange)
{
    for (const bool uyvy : {false, true}) {
        const auto got = WriteThroughDevice(Format(uyvy ? V4L2_PIX_FMT_UYVY : V4L2_PIX_FMT_YUYV, 320, 240, 640));
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
        const auto got = WriteThroughDevice(Format(rgb ? V4L2_PIX_FMT_RGB24 : V4L2_PIX_FMT_BGR24, 320, 240, 1024));
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
        auto device = Device("ZENDRA Capture");
        device->fixedFormat = true;
        device->format = format;
        EXPECT_FALSE(CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond, FakeNodes({{"/dev/video0", device}})));
        EXPECT_EQ(device->calls, (std::vector<std::string>{"QUERYCAP", "S_FMT", "G_FMT"}));  // no stream started
    }
}

TEST(LoopbackOutput, NoDeviceOnThisMachineMeansTheOtherOutputsOnly)
{
    // Without a v4l2loopback device labelled for us there is nothing to open, and the writer still works.
    if (CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond))
        GTEST_SKIP() << "a ZENDRA Capture loopback device exists here";
    const TempHome home;  // and no PipeWire daemon in its runtime folder
    CCameraWriterHelper writer;
    EXPECT_TRUE(writer.InitDevice());
    EXPECT_FALSE(writer.HasLoopbackDevice());
    EXPECT_FALSE(writer.HasPipeWireNode());
    const auto frame = TestFrame();
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);
    CFrameAreaReader reader;
    EXPECT_TRUE(reader.Open(home.RuntimePath() + "/ZENDRA Capture"));
}
