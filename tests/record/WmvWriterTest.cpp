#include "record/WmvWriter.h"
#include "Probe.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <cmath>
#include <vector>

namespace {

constexpr int64_t kSecond = 10000000;

struct ManualClock {
    std::atomic<int64_t> now{132000000000000000};  // some wall-clock file time
    FileTimeClock Function()
    {
        return [this] { return now.load(); };
    }
};

// A bottom-up 320×240 BGR0 frame: the lower half (stored first) red, the upper half blue.
std::vector<uint8_t> TwoColourFrame(int bytesPerPixel)
{
    std::vector<uint8_t> frame(size_t(320) * 240 * bytesPerPixel, 0);
    for (int row = 0; row < 240; ++row)
        for (int x = 0; x < 320; ++x) {
            uint8_t* p = &frame[(size_t(row) * 320 + x) * bytesPerPixel];
            if (row < 120)
                p[2] = 220;  // red
            else
                p[0] = 220;  // blue
        }
    return frame;
}

// One second of a 440 Hz tone, 16-bit stereo at 22050 Hz.
std::vector<uint8_t> ToneBlock()
{
    std::vector<uint8_t> block(88200);
    for (int i = 0; i < 22050; ++i) {
        const auto v = int16_t(8000 * std::sin(2 * M_PI * 440 * i / 22050.0));
        for (int c = 0; c < 2; ++c) {
            block[size_t(i) * 4 + c * 2] = uint8_t(v & 0xFF);
            block[size_t(i) * 4 + c * 2 + 1] = uint8_t((v >> 8) & 0xFF);
        }
    }
    return block;
}

class WmvWriterTest : public ::testing::Test {
protected:
    std::string File(const char* name) const { return dir.path().toStdString() + "/" + name; }

    // Writes `seconds` of 10 frames/s with a tone block at the end of every second.
    void WriteSeconds(CWmvWriter& writer, int seconds, const std::vector<uint8_t>& frame)
    {
        const auto tone = ToneBlock();
        for (int s = 0; s < seconds; ++s) {
            for (int f = 0; f < 10; ++f) {
                EXPECT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size())), WMV_S_OK);
                clock.now += kSecond / 10;
            }
            EXPECT_EQ(writer.WriteAudio(tone.data(), uint32_t(tone.size())), WMV_S_OK);
        }
    }

    QTemporaryDir dir;
    ManualClock clock;
};

TEST_F(WmvWriterTest, ProfilesBySizeAndBits)
{
    struct Case {
        int height, width, bits;
        bool accepted;
    };
    const Case cases[] = {
        {240, 320, 32, true},  {240, 320, 24, true},  {120, 160, 24, true}, {112, 160, 24, true},
        {144, 176, 24, true},  {240, 320, 16, false}, {480, 640, 32, false}, {120, 160, 32, false},
        {144, 176, 32, false}, {0, 0, 32, false},
    };
    for (const Case& c : cases) {
        CWmvWriter writer(clock.Function());
        ASSERT_EQ(writer.Init(), WMV_S_OK);
        const WmvResult result = writer.Configure(File("profile.wmv"), c.height, c.width, c.bits);
        EXPECT_EQ(result == WMV_S_OK, c.accepted) << c.height << "x" << c.width << "x" << c.bits;
        if (c.accepted && c.width == 320) {
            EXPECT_STREQ(writer.ProfileId(), "{A2E300B4-C2D4-4FC0-B5DD-ECBD948DC0DF}");
        }
        writer.EndWriting();
    }
}

TEST_F(WmvWriterTest, FileWithVideoAndSoundLastsTheWallClockTime)
{
    const std::string path = File("both.wmv");
    {
        CWmvWriter writer(clock.Function());
        ASSERT_EQ(writer.Init(), WMV_S_OK);
        ASSERT_EQ(writer.Configure(path, 240, 320, 32), WMV_S_OK);
        ASSERT_EQ(writer.BeginWriting(), WMV_S_OK);
        WriteSeconds(writer, 3, TwoColourFrame(4));
        EXPECT_EQ(writer.EndWriting(), WMV_S_OK);
    }
    const ProbeResult probe = Probe(path);
    ASSERT_EQ(probe.status, 0);
    EXPECT_EQ(probe.formatName, "asf");
    ASSERT_EQ(probe.streams.size(), 2u);
    EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
    EXPECT_EQ(probe.streams[0].at("width"), "320");
    EXPECT_EQ(probe.streams[0].at("height"), "240");
    EXPECT_EQ(probe.streams[1].at("codec_name"), "wmav2");
    EXPECT_EQ(probe.streams[1].at("sample_rate"), "22050");
    EXPECT_EQ(probe.streams[1].at("channels"), "2");
    EXPECT_NEAR(probe.duration, 3.0, 0.25);

    const auto video = PacketTimes(path, "v:0");
    ASSERT_EQ(video.size(), 30u);
    // The muxer shifts both streams alike by the sound encoder's start-up delay.
    const double origin = video.front();
    EXPECT_NEAR(origin, 0.0, 0.1);
    EXPECT_NEAR(video.back() - origin, 2.9, 0.01);
    // Each sound block covers the second before it arrived.
    const auto audio = PacketTimes(path, "a:0");
    ASSERT_FALSE(audio.empty());
    EXPECT_NEAR(audio.front() - origin, 0.0, 0.1);
    EXPECT_NEAR(audio.back() - origin, 3.0, 0.25);
}

TEST_F(WmvWriterTest, PauseLeavesAGapInBothStreams)
{
    const std::string path = File("gap.wmv");
    CWmvWriter writer(clock.Function());
    ASSERT_EQ(writer.Init(), WMV_S_OK);
    ASSERT_EQ(writer.Configure(path, 240, 320, 32), WMV_S_OK);
    ASSERT_EQ(writer.BeginWriting(), WMV_S_OK);
    const auto frame = TwoColourFrame(4);
    WriteSeconds(writer, 2, frame);
    clock.now += 10 * kSecond;  // paused: nothing written
    WriteSeconds(writer, 2, frame);
    ASSERT_EQ(writer.EndWriting(), WMV_S_OK);

    const auto largestGap = [](const std::vector<double>& times) {
        double gap = 0;
        for (size_t i = 1; i < times.size(); ++i)
            gap = std::max(gap, times[i] - times[i - 1]);
        return gap;
    };
    const auto video = PacketTimes(path, "v:0");
    const auto audio = PacketTimes(path, "a:0");
    ASSERT_EQ(video.size(), 40u);
    EXPECT_NEAR(largestGap(video), 10.1, 0.01);
    EXPECT_NEAR(largestGap(audio), 10.0, 0.2);
    EXPECT_NEAR(Probe(path).duration, 14.0, 0.25);
}

TEST_F(WmvWriterTest, VideoOnlyWithoutSound)
{
    const std::string path = File("video.wmv");
    CWmvWriter writer(clock.Function());
    ASSERT_EQ(writer.Init(), WMV_S_OK);
    ASSERT_EQ(writer.Configure(path, 240, 320, 32, false), WMV_S_OK);
    ASSERT_EQ(writer.BeginWriting(), WMV_S_OK);
    const auto tone = ToneBlock();
    EXPECT_EQ(writer.WriteAudio(tone.data(), uint32_t(tone.size())), WMV_E_FAIL);
    const auto frame = TwoColourFrame(4);
    EXPECT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size())), WMV_S_OK);
    ASSERT_EQ(writer.EndWriting(), WMV_S_OK);
    const ProbeResult probe = Probe(path);
    ASSERT_EQ(probe.streams.size(), 1u);
    EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
}

// Rows arrive bottom-up: the first stored rows are the bottom of the picture. Both input depths.
TEST_F(WmvWriterTest, FramesKeepOrientationAndColours)
{
    for (int bytes : {3, 4}) {
        const std::string path = File(bytes == 3 ? "rgb24.wmv" : "rgb32.wmv");
        CWmvWriter writer(clock.Function());
        ASSERT_EQ(writer.Init(), WMV_S_OK);
        ASSERT_EQ(writer.Configure(path, 240, 320, bytes * 8, false), WMV_S_OK);
        ASSERT_EQ(writer.BeginWriting(), WMV_S_OK);
        const auto frame = TwoColourFrame(bytes);
        ASSERT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size())), WMV_S_OK);
        ASSERT_EQ(writer.EndWriting(), WMV_S_OK);

        // Top-down RGB out of ffmpeg: the top half blue, the bottom half red.
        const std::string rgb = RunCommand("ffmpeg -v error -i '" + path + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
        ASSERT_EQ(rgb.size(), size_t(320) * 240 * 3);
        const auto pixel = [&](int x, int y) { return reinterpret_cast<const uint8_t*>(&rgb[(size_t(y) * 320 + x) * 3]); };
        EXPECT_GT(pixel(160, 40)[2], 150);  // blue at the top
        EXPECT_LT(pixel(160, 40)[0], 60);
        EXPECT_GT(pixel(160, 200)[0], 150);  // red at the bottom
        EXPECT_LT(pixel(160, 200)[2], 60);
    }
}

TEST_F(WmvWriterTest, RejectsFramesOfTheWrongSize)
{
    CWmvWriter writer(clock.Function());
    ASSERT_EQ(writer.Init(), WMV_S_OK);
    ASSERT_EQ(writer.Configure(File("size.wmv"), 240, 320, 32), WMV_S_OK);
    ASSERT_EQ(writer.BeginWriting(), WMV_S_OK);
    const std::vector<uint8_t> frame(size_t(320) * 240 * 4 + 4);
    EXPECT_EQ(writer.WriteVideo(frame.data(), 320 * 240 * 3), WMV_E_FAIL);
    EXPECT_EQ(writer.WriteVideo(frame.data(), 320 * 240 * 4 + 4), WMV_E_FAIL);
    EXPECT_EQ(writer.WriteVideo(nullptr, 320 * 240 * 4), WMV_E_FAIL);
    EXPECT_EQ(writer.WriteAudio(nullptr, 88200), WMV_E_FAIL);
    EXPECT_EQ(writer.WriteVideo(frame.data(), 320 * 240 * 4), WMV_S_OK);
    EXPECT_EQ(writer.EndWriting(), WMV_S_OK);
}

TEST_F(WmvWriterTest, FileThatCannotBeCreatedFailsEveryStep)
{
    CWmvWriter writer(clock.Function());
    ASSERT_EQ(writer.Init(), WMV_S_OK);
    EXPECT_EQ(writer.Configure(File("missing/folder/x.wmv"), 240, 320, 32), WMV_E_FAIL);
    EXPECT_EQ(writer.BeginWriting(), WMV_E_FAIL);
    const auto frame = TwoColourFrame(4);
    EXPECT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size())), WMV_E_FAIL);
    EXPECT_EQ(writer.EndWriting(), WMV_E_FAIL);
    // Without Init nothing is configured either; a new Init starts afresh.
    EXPECT_EQ(writer.Configure(File("again.wmv"), 240, 320, 32), WMV_E_FAIL);
    ASSERT_EQ(writer.Init(), WMV_S_OK);
    EXPECT_EQ(writer.Configure(File("again.wmv"), 240, 320, 32), WMV_S_OK);
    EXPECT_EQ(writer.BeginWriting(), WMV_S_OK);
    EXPECT_EQ(writer.EndWriting(), WMV_S_OK);
    EXPECT_EQ(Probe(File("again.wmv")).formatName, "asf");
}

// A full disk: writes fail, the end still releases everything, and a later write does nothing.
TEST_F(WmvWriterTest, FullDiskFailsWithoutCrashing)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    CWmvWriter writer(clock.Function());
    ASSERT_EQ(writer.Init(), WMV_S_OK);
    ASSERT_EQ(writer.Configure("/dev/full", 240, 320, 32, false), WMV_S_OK);
    writer.BeginWriting();
    // Noise, so that every frame costs the encoder's whole bit budget.
    std::vector<uint8_t> frame(size_t(320) * 240 * 4);
    uint32_t seed = 1;
    bool failed = false;
    for (int i = 0; i < 200 && !failed; ++i) {
        for (auto& byte : frame)
            byte = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
        failed = writer.WriteVideo(frame.data(), uint32_t(frame.size())) != WMV_S_OK;
        clock.now += kSecond / 10;
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size())), WMV_E_FAIL);
    EXPECT_EQ(writer.EndWriting(), WMV_E_FAIL);
}

}  // namespace
