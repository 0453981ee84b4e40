// Capture devices behind the device seam: names that tell twins apart, streaming only between start and
// stop, descriptors beyond FD_SETSIZE, and a device that goes away mid-capture.
#include "zendracam/NormalCameraHelper.h"

#include "zendracam/FakeVideoDevices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

class FrameLog : public IVideoCaptureNotify {
public:
    int OnVideoFrame(uint8_t* frame, size_t length) override
    {
        std::lock_guard lock(mutex_);
        frames_.emplace_back(frame, frame + length);
        return 1;
    }
    size_t Count()
    {
        std::lock_guard lock(mutex_);
        return frames_.size();
    }
    std::vector<uint8_t> Last()
    {
        std::lock_guard lock(mutex_);
        return frames_.back();
    }

private:
    std::mutex mutex_;
    std::vector<std::vector<uint8_t>> frames_;
};

template <typename Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = 3000ms)
{
    // `done` is asked once per round: it may act (push a frame) as well as look.
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(5ms);
    }
}

std::vector<std::string> Names(_DEVIECENAME_LIST* list)
{
    std::vector<std::string> names;
    for (; list; list = list->next)
        names.push_back(list->name);
    return names;
}

}  // namespace

TEST(CameraDevices, TwinsAreToldApartAndEachCanBeChosen)
{
    FakeVideoDevices devices;
    devices.Add(0, "USB Camera", "usb-0000:00:14.0-1");
    devices.Add(1, "USB Camera", "usb-0000:00:14.0-1", V4L2_CAP_META_CAPTURE);  // its metadata node
    devices.Add(2, "USB Camera", "usb-0000:00:14.0-2");
    devices.Add(3, "Pelmora", "pci-0000:03:00.0");
    devices.Add(4, "ZENDRA Capture", "platform:v4l2loopback-000");
    devices.Add(5, "Twin Cam", "platform:twin");
    devices.Add(6, "Twin Cam", "platform:twin");
    devices.Add(7, "An Extraordinarily Long Card Na", "usb-0000:00:14.0-11.2.3");
    devices.Add(8, "An Extraordinarily Long Card Na", "usb-0000:00:14.0-11.2.4");
    CNormalCameraHelper camera(devices);

    const std::vector<std::string> expected = {
        "USB Camera (usb-0000:00:14.0-1)",   "USB Camera (usb-0000:00:14.0-2)", "Pelmora",
        "Twin Cam (/dev/video5)",            "Twin Cam (/dev/video6)",          "An Extraordin (usb-0000:00:14.0-11.2.3)",
        "An Extraordin (usb-0000:00:14.0-11.2.4)"};
    const std::vector<std::string> names = Names(camera.getDeviceList(0));
    ASSERT_EQ(names, expected);
    for (const std::string& name : names)
        EXPECT_LE(name.size(), CNormalCameraHelper::kNameBytes) << name;

    // Each listed name opens its own node; a plain card name shared by two opens the first.
    const std::pair<std::string, int> choices[] = {
        {names[0], 0}, {names[1], 2}, {"Pelmora", 3}, {names[4], 6}, {names[6], 8}, {"USB Camera", 0}};
    FrameLog log;
    for (const auto& [name, node] : choices) {
        ASSERT_EQ(camera.Connect(0, name.c_str(), &log), 1) << name;
        ASSERT_TRUE(camera.StartCapture());
        EXPECT_TRUE(devices.Streaming(node)) << name;
        camera.StopCapture();
    }
    EXPECT_EQ(camera.Connect(0, "ZENDRA Capture", &log), 0);
    EXPECT_EQ(camera.Connect(0, "Nobody", &log), 0);
    EXPECT_FALSE(camera.IsConnected());
}

TEST(CameraDevices, StreamsOnlyBetweenStartAndStop)
{
    FakeVideoDevices devices;
    devices.Add(0, "USB Camera", "usb-1");
    CNormalCameraHelper camera(devices);
    FrameLog log;
    ASSERT_EQ(camera.Connect(0, "USB Camera", &log), 1);
    EXPECT_FALSE(devices.Streaming(0));

    // Formats and sizes of the device itself, not those the conversion adds.
    std::vector<std::pair<std::string, std::string>> formats;
    for (auto* f = camera.getDeviceResolutionList(); f; f = f->next)
        formats.emplace_back(f->format, f->size);
    EXPECT_EQ(formats, (std::vector<std::pair<std::string, std::string>>{
                           {"YUYV", "640 x 480"}, {"YUYV", "320 x 240"}, {"MJPG", "640 x 480"}, {"MJPG", "320 x 240"}}));

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(camera.StartCapture());
        EXPECT_TRUE(devices.Streaming(0));
        EXPECT_FALSE(camera.StartCapture());  // already capturing
        const size_t before = log.Count();
        // The picture's top row 200, every other row 10: the frame is bottom-up, so its last row is 200.
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(WaitFor([&] { return devices.PushFrame(0, [](uint32_t y) { return uint8_t(y == 0 ? 200 : 10); }); }));
            ASSERT_TRUE(WaitFor([&] { return log.Count() == before + size_t(i) + 1; }));
        }
        const std::vector<uint8_t> frame = log.Last();
        ASSERT_EQ(frame.size(), 230400u);
        EXPECT_EQ(frame[239 * 960], 200);
        EXPECT_EQ(frame[0], 10);

        // Stopped, the device streams no more and its buffers are given back: the camera's light is off.
        camera.StopCapture();
        EXPECT_FALSE(devices.Streaming(0));
        EXPECT_EQ(devices.MappedBuffers(), 0u);
        EXPECT_FALSE(devices.PushFrame(0, [](uint32_t) { return uint8_t(0); }));
    }
    EXPECT_EQ(devices.StreamStarts(0), 2);
}

TEST(CameraDevices, DeviceLostMidCaptureIsReportedOnceAndConnectsAgain)
{
    FakeVideoDevices devices;
    devices.Add(0, "USB Camera", "usb-1");
    CNormalCameraHelper camera(devices);
    std::mutex mutex;
    std::vector<std::string> reports;
    camera.SetFailureReport([&](const std::string& text) {
        std::lock_guard lock(mutex);
        reports.push_back(text);
    });
    const auto reportCount = [&] {
        std::lock_guard lock(mutex);
        return reports.size();
    };
    FrameLog log;
    ASSERT_EQ(camera.Connect(0, "USB Camera", &log), 1);
    ASSERT_TRUE(camera.StartCapture());
    ASSERT_TRUE(WaitFor([&] { return devices.PushFrame(0, [](uint32_t) { return uint8_t(1); }); }));
    ASSERT_TRUE(WaitFor([&] { return log.Count() == 1; }));

    devices.Unplug(0);
    ASSERT_TRUE(WaitFor([&] { return camera.HasFailed(); }));
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(reportCount(), 1u);
    EXPECT_NE(reports[0].find("USB Camera"), std::string::npos);
    // Until it is connected again, starting does nothing and reports nothing.
    camera.StopCapture();
    EXPECT_FALSE(camera.StartCapture());
    EXPECT_EQ(reportCount(), 1u);
    EXPECT_EQ(camera.Connect(0, "USB Camera", &log), 0);  // still gone

    devices.Replug(0);
    ASSERT_EQ(camera.Connect(0, "USB Camera", &log), 1);
    EXPECT_FALSE(camera.HasFailed());
    ASSERT_TRUE(camera.StartCapture());
    ASSERT_TRUE(WaitFor([&] { return devices.PushFrame(0, [](uint32_t) { return uint8_t(2); }); }));
    ASSERT_TRUE(WaitFor([&] { return log.Count() == 2; }));
    EXPECT_EQ(log.Last()[0], 2);
    camera.StopCapture();
    EXPECT_EQ(reportCount(), 1u);
}

TEST(CameraDevices, EveryDescriptorIsClosed)
{
    FakeVideoDevices devices;
    devices.Add(0, "USB Camera", "usb-1");
    devices.Add(1, "Pelmora", "usb-2");
    {
        CNormalCameraHelper camera(devices);
        FrameLog log;
        camera.getDeviceList(0);
        EXPECT_EQ(devices.OpenDescriptors(), 0u);
        ASSERT_EQ(camera.Connect(0, "Pelmora", &log), 1);
        ASSERT_TRUE(camera.StartCapture());
        ASSERT_EQ(camera.Connect(0, "USB Camera", &log), 1);  // the first device is let go
        EXPECT_FALSE(devices.Streaming(1));
        EXPECT_EQ(devices.OpenDescriptors(), 1u);
        ASSERT_TRUE(camera.StartCapture());
    }
    EXPECT_EQ(devices.OpenDescriptors(), 0u);
    EXPECT_FALSE(devices.Streaming(0));
}
