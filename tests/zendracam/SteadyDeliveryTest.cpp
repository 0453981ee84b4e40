// The writer never lets the camera go silent: from InitDevice on a frame goes out at least every
// tenth of a second, black until the first real one, then the last one again. Time here is the test's.
#include "zendracam/CameraWriterHelper.h"
#include "zendracam/PixelConvert.h"

#include "FakeVideoDevice.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zendracam;
using namespace std::chrono_literals;

namespace {

std::vector<uint8_t> Grey(uint8_t level)
{
    return std::vector<uint8_t>(kFrameBytes, level);
}

// What the YUYV device gets for a frame.
std::vector<uint8_t> AsYuyv(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> yuyv(size_t(kFrameWidth) * 2 * kFrameHeight);
    BgrBottomUpToYuv422(frame.data(), kFrameWidth, kFrameHeight, yuyv.data(), size_t(kFrameWidth) * 2, false);
    return yuyv;
}

// One write to the device: when, and which of the test's frames it was.
struct Sent {
    long ms;
    char frame;
    bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Sent& s)
{
    return out << s.frame << "@" << s.ms;
}

class SteadyDelivery : public ::testing::Test {
protected:
    void SetUp() override
    {
        device->clock = clock.get();
        CCameraWriterHelper::Outputs outputs;
        outputs.loopback = CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond, FakeNodes({{"/dev/video0", device}}));
        ASSERT_TRUE(outputs.loopback);
        outputs.clock = clock;
        ASSERT_TRUE(writer.InitDevice(std::move(outputs)));
        clock->Advance(0ms);  // the repeat thread is waiting for its first deadline
    }

    void Write(char name)
    {
        const auto& frame = frames.at(name);
        ASSERT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);
    }

    // Lets `span` pass in steps of 5 ms.
    void Pass(std::chrono::milliseconds span)
    {
        for (auto done = 0ms; done < span; done += 5ms)
            clock->Advance(5ms);
    }

    std::vector<Sent> SentSoFar()
    {
        std::vector<Sent> sent;
        for (const auto& w : device->Writes()) {
            char name = '?';
            for (const auto& [candidate, frame] : frames)
                if (w.bytes == AsYuyv(frame))
                    name = candidate;
            sent.push_back({long(std::chrono::duration_cast<std::chrono::milliseconds>(w.at - ManualClock::TimePoint{}).count()), name});
        }
        return sent;
    }

    const std::map<char, std::vector<uint8_t>> frames = {{'K', Grey(0)}, {'P', Grey(90)}, {'M', Grey(200)}};
    const std::string areaPath = "/dev/shm/korvel-test-steady-" + std::to_string(getpid());
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeVideoDevice> device = std::make_shared<FakeVideoDevice>();
    CCameraWriterHelper writer{areaPath};
};

}  // namespace

TEST_F(SteadyDelivery, QuietSourcesGetTheLastFrameAgainOnAFixedBeat)
{
    Pass(250ms);  // no source yet: black
    Write('P');   // a picture, then nothing
    Pass(250ms);
    for (int i = 0; i < 3; ++i) {  // a movie at 75 ms a frame needs no repeats
        Write('M');
        Pass(75ms);
    }
    Pass(200ms);  // the movie stopped
    EXPECT_EQ(SentSoFar(), (std::vector<Sent>{{0, 'K'}, {100, 'K'}, {200, 'K'}, {250, 'P'}, {350, 'P'}, {450, 'P'},
                                              {500, 'M'}, {575, 'M'}, {650, 'M'}, {750, 'M'}, {850, 'M'}}));
}

TEST_F(SteadyDelivery, AfterAStallTheBeatStartsAgainInsteadOfCatchingUp)
{
    Write('P');
    clock->Advance(1000ms);
    Pass(150ms);
    EXPECT_EQ(SentSoFar(), (std::vector<Sent>{{0, 'K'}, {0, 'P'}, {1000, 'P'}, {1100, 'P'}}));
}

TEST_F(SteadyDelivery, TheFrameAreaIsRepeatedToo)
{
    CFrameAreaReader reader;
    ASSERT_TRUE(reader.Open(areaPath));
    std::vector<uint8_t> got(kFrameBytes);
    uint32_t sequence = 0;
    ASSERT_TRUE(reader.ReadNewer(got.data(), sequence));
    EXPECT_EQ(got, frames.at('K'));
    Write('P');
    ASSERT_TRUE(reader.ReadNewer(got.data(), sequence));
    EXPECT_EQ(got, frames.at('P'));
    EXPECT_FALSE(reader.ReadNewer(got.data(), sequence));
    for (int repeat = 0; repeat < 2; ++repeat) {
        Pass(100ms);
        std::fill(got.begin(), got.end(), 1);
        ASSERT_TRUE(reader.ReadNewer(got.data(), sequence)) << "repeat " << repeat;
        EXPECT_EQ(got, frames.at('P'));
        EXPECT_FALSE(reader.ReadNewer(got.data(), sequence));
    }
}

TEST_F(SteadyDelivery, UninitStopsTheRepeatsAndInitStartsThemWithBlack)
{
    Write('M');
    writer.UninitDevice();  // returns although the test's clock stands still
    EXPECT_EQ(writer.SetOrgBmp24Data(frames.at('P').data(), kFrameBytes), 0);
    const size_t before = device->Writes().size();

    auto again = std::make_shared<FakeVideoDevice>();
    again->clock = clock.get();
    CCameraWriterHelper::Outputs outputs;
    outputs.loopback = CLoopbackOutput::Open(kVirtualCameraName, kWriterFramesPerSecond, FakeNodes({{"/dev/video3", again}}));
    outputs.clock = clock;
    ASSERT_TRUE(writer.InitDevice(std::move(outputs)));
    Pass(100ms);
    EXPECT_EQ(device->Writes().size(), before);
    const auto writes = again->Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].bytes, AsYuyv(frames.at('K')));
    EXPECT_EQ(writes[1].bytes, AsYuyv(frames.at('K')));
}
