#include "record/WmvWriter.h"
#include "Probe.h"
#include "support/Files.h"
#include "support/ToneBlock.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int64_t kSecond = 10000000;
constexpr double kSlotSeconds = double(kRecordFrameTicks) / kSecond;

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

class WmvWriterTest : public ::testing::Test {
protected:
    std::string File(const char* name) const { return dir.path().toStdString() + "/" + name; }

    // Init, Configure for 320×240×32 and BeginWriting; false when one of them fails.
    static bool Begin(CWmvWriter& writer, const std::string& path, bool withAudio)
    {
        return writer.Init() == WMV_S_OK && writer.Configure(path, 240, 320, 32, withAudio) == WMV_S_OK &&
               writer.BeginWriting() == WMV_S_OK;
    }

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
    // The muxer shifts both streams alike by the sound encoder's start-up delay; frames sit in the
    // slot nearest their time.
    const double origin = video.front();
    EXPECT_NEAR(origin, 0.0, 0.1);
    EXPECT_NEAR(video.back() - origin, 2.9, kSlotSeconds / 2);
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
    EXPECT_NEAR(largestGap(video), 10.1, kSlotSeconds);
    EXPECT_NEAR(largestGap(audio), 10.0, 0.2);
    EXPECT_NEAR(Probe(path).duration, 14.0, 0.25);
}

TEST_F(WmvWriterTest, VideoOnlyWithoutSound)
{
    const std::string path = File("video.wmv");
    CWmvWriter writer(clock.Function());
    ASSERT_TRUE(Begin(writer, path, false));
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

// A bottom-up BGR0 picture that moves a few pixels a frame: colour bars over a grey ramp, with noise
// of up to ±`noise` on every byte.
std::vector<uint8_t> PatternFrame(int step, int noise, uint32_t& seed)
{
    static const uint8_t bars[8][3] = {{235, 235, 235}, {16, 235, 235}, {235, 235, 16}, {16, 235, 16},
                                       {235, 16, 235}, {16, 16, 235}, {235, 16, 16}, {16, 16, 16}};
    std::vector<uint8_t> frame(size_t(320) * 240 * 4, 0);
    for (int row = 0; row < 240; ++row)
        for (int x = 0; x < 320; ++x) {
            uint8_t* p = &frame[(size_t(row) * 320 + x) * 4];
            const int shifted = (x + 3 * step) % 320;
            for (int c = 0; c < 3; ++c) {
                int value = row >= 120 ? bars[shifted / 40][c] : (shifted * 255 / 319 + row) & 0xFF;
                if (noise) {
                    seed = seed * 1664525u + 1013904223u;
                    value += int(seed >> 24) % (2 * noise + 1) - noise;
                }
                p[c] = uint8_t(std::clamp(value, 0, 255));
            }
        }
    return frame;
}

// The luma the encoder is given for a bottom-up BGR0 frame, top row first.
std::vector<uint8_t> Luma(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> y(size_t(320) * 240);
    for (int row = 0; row < 240; ++row)
        for (int x = 0; x < 320; ++x) {
            const uint8_t* p = &frame[(size_t(239 - row) * 320 + x) * 4];
            y[size_t(row) * 320 + x] = uint8_t(((66 * p[2] + 129 * p[1] + 25 * p[0] + 128) >> 8) + 16);
        }
    return y;
}

class WmvQualityTest : public WmvWriterTest {
protected:
    // Ten seconds at the recorder's pace into a file of video only; returns the luma of every frame.
    std::vector<std::vector<uint8_t>> WriteTenSeconds(const std::string& path, int noise)
    {
        CWmvWriter writer(clock.Function());
        EXPECT_TRUE(Begin(writer, path, false));
        std::vector<std::vector<uint8_t>> lumas;
        uint32_t seed = 1;
        for (int64_t t = 0; t < 10 * kSecond; t += kRecordFrameTicks) {
            const auto frame = PatternFrame(int(lumas.size()), noise, seed);
            EXPECT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size())), WMV_S_OK);
            lumas.push_back(Luma(frame));
            clock.now += kRecordFrameTicks;
        }
        EXPECT_EQ(writer.EndWriting(), WMV_S_OK);
        return lumas;
    }
};

// The rate control gets frames at their real rate: a busy picture costs the profile's bitrate, and the
// header states a frame rate near the recorder's.
TEST_F(WmvQualityTest, BusyPictureReachesTheProfileBitrate)
{
    const std::string path = File("busy.wmv");
    WriteTenSeconds(path, 30);
    const ProbeResult probe = Probe(path);
    ASSERT_GT(probe.duration, 9.5);
    const double bitRate = double(ReadFileBytes(path).size()) * 8 / probe.duration;
    EXPECT_GE(bitRate, 0.8 * 300000);
    EXPECT_LE(bitRate, 1.25 * 300000);

    const std::string rate = RunCommand("ffprobe -v error -select_streams v:0 -show_entries stream=avg_frame_rate "
                                        "-of csv=p=0 '" + path + "'");
    int num = 0, den = 0;
    ASSERT_EQ(std::sscanf(rate.c_str(), "%d/%d", &num, &den), 2) << rate;
    ASSERT_GT(den, 0);
    EXPECT_NEAR(double(num) / den, 1.0 / kSlotSeconds, 0.5);
}

// A clean picture comes back close to what went in.
TEST_F(WmvQualityTest, CleanPictureKeepsItsDetail)
{
    const std::string path = File("clean.wmv");
    const auto lumas = WriteTenSeconds(path, 0);
    const std::string yuv = RunCommand("ffmpeg -v error -i '" + path + "' -fps_mode passthrough -f rawvideo "
                                       "-pix_fmt yuv420p - 2>/dev/null");
    const size_t frameBytes = size_t(320) * 240 * 3 / 2;
    ASSERT_EQ(yuv.size(), lumas.size() * frameBytes);
    double squares = 0;
    for (size_t f = 0; f < lumas.size(); ++f)
        for (size_t i = 0; i < lumas[f].size(); ++i) {
            const double d = double(uint8_t(yuv[f * frameBytes + i])) - lumas[f][i];
            squares += d * d;
        }
    const double mse = squares / double(lumas.size() * lumas[0].size());
    const double psnr = 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
    EXPECT_GE(psnr, 45.0);
}

// Each frame goes into the slot nearest its time; a frame for a slot already written is refused.
TEST_F(WmvWriterTest, FramesTakeTheSlotNearestTheirTime)
{
    const std::string path = File("slots.wmv");
    CWmvWriter writer(clock.Function());
    ASSERT_TRUE(Begin(writer, path, false));
    const int64_t start = clock.now;
    const int64_t ms = kSecond / 1000;
    const auto frame = TwoColourFrame(4);
    const struct {
        int64_t at;
        WmvResult result;
    } writes[] = {
        {0, WMV_S_OK},      {30 * ms, WMV_S_FALSE}, {40 * ms, WMV_S_OK}, {100 * ms, WMV_S_FALSE},
        {-5 * kSecond, WMV_S_FALSE}, {10 * kSecond, WMV_S_OK},
    };
    for (const auto& w : writes)
        EXPECT_EQ(writer.WriteVideo(frame.data(), uint32_t(frame.size()), start + w.at), w.result) << w.at;
    ASSERT_EQ(writer.EndWriting(), WMV_S_OK);
    const auto video = PacketTimes(path, "v:0");
    ASSERT_EQ(video.size(), 3u);
    EXPECT_NEAR(video[1] - video[0], kSlotSeconds, 0.0011);
    EXPECT_NEAR(video[2] - video[0], 133 * kSlotSeconds, 0.0011);
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
