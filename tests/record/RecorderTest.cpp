#include "diag/PlainMessageBox.h"
#include "record/CaptureTimeline.h"
#include "record/Recorder.h"
#include "Probe.h"
#include "SimulatedTime.h"
#include "StripeFrames.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

constexpr int64_t kSecond = 10000000;
constexpr int64_t kMillisecond = kSecond / 1000;
constexpr double kSlotSeconds = double(kRecordFrameTicks) / kSecond;
// The sound encoder's start-up delay: the file's first sound packet is that much before sample 0, and
// the muxer moves every stream by it.
constexpr double kSoundPriming = 1024.0 / 22050;

// A microphone that delivers a block of tone each time the test lets it.
class FakeMicrophone final : public IWaveInDevice {
public:
    struct State {
        bool opens = true;
        bool starts = true;
        int devices = 1;
        std::mutex lock;
        std::condition_variable changed;
        int allowed = 0;
        bool reset = false;
        bool open = false;
    };
    explicit FakeMicrophone(std::shared_ptr<State> state) : state_(std::move(state)) {}

    int CountDevices() override { return state_->devices; }
    bool Open(const WaveFormat& format) override
    {
        EXPECT_EQ(format.samplesPerSec, 22050u);
        EXPECT_EQ(format.channels, 2);
        EXPECT_EQ(format.bitsPerSample, 16);
        std::lock_guard<std::mutex> hold(state_->lock);
        state_->reset = false;
        state_->open = state_->opens;
        return state_->opens;
    }
    bool Start() override { return state_->starts; }
    long Read(uint8_t* buffer, size_t bytes) override
    {
        std::unique_lock<std::mutex> hold(state_->lock);
        state_->changed.wait(hold, [&] { return state_->reset || state_->allowed > 0; });
        if (state_->reset)
            return 0;
        --state_->allowed;
        for (size_t i = 0; i + 1 < bytes; i += 2) {
            const int16_t v = int16_t((i / 4) % 50 < 25 ? 6000 : -6000);
            buffer[i] = uint8_t(v & 0xFF);
            buffer[i + 1] = uint8_t(v >> 8);
        }
        state_->changed.notify_all();
        return long(bytes);
    }
    int Overruns() override { return 0; }
    void Reset() override
    {
        std::lock_guard<std::mutex> hold(state_->lock);
        state_->reset = true;
        state_->changed.notify_all();
    }
    void Close() override { state_->open = false; }

private:
    std::shared_ptr<State> state_;
};

double LargestGap(const std::vector<double>& times)
{
    double gap = 0;
    for (size_t i = 1; i < times.size(); ++i)
        gap = std::max(gap, times[i] - times[i - 1]);
    return gap;
}

class RecorderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_record";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }

    void SetUp() override
    {
        previousBox = SetPlainMessageHandler([this](const std::string& text) { messages.push_back(text); });
    }
    void TearDown() override { SetPlainMessageHandler(previousBox); }

    std::unique_ptr<CRecorder> MakeRecorder(RecorderQueueLimits limits = {},
                                            std::unique_ptr<IWaveInDevice> microphone = nullptr)
    {
        if (!microphone)
            microphone = std::make_unique<FakeMicrophone>(mic);
        return std::make_unique<CRecorder>(std::move(microphone), limits, time.FileClock(), time.Pacing());
    }

    // Runs the event loop until `done` holds or five seconds passed.
    template <typename Predicate>
    bool Pump(Predicate done)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }

    // Pushes the next numbered frame now.
    void Push(CRecorder& recorder)
    {
        pushedAt[pushed] = time.Now();
        const auto frame = StripeFrame(pushed);
        recorder.PushFrame(frame.data(), 320, 240);
        ++pushed;
    }

    // Lets the microphone finish one block now and waits until it reached the recorder through the
    // event loop.
    void DeliverBlock(CRecorder& recorder)
    {
        const int before = recorder.ReceivedSoundBlocks();
        {
            std::lock_guard<std::mutex> hold(mic->lock);
            ++mic->allowed;
        }
        mic->changed.notify_all();
        ASSERT_TRUE(Pump([&] { return recorder.ReceivedSoundBlocks() > before; }));
    }

    // Records for `duration` of simulated time: a frame every `pushEvery`, varied by up to ±`jitter`,
    // and, when `sound`, a sound block at every whole second since the start.
    void Record(CRecorder& recorder, int64_t duration, int64_t pushEvery, int64_t jitter = 0, bool sound = true)
    {
        const int64_t end = time.Now() + duration;
        int64_t nextPush = time.Now();
        int64_t nextBlock = sound ? (time.Now() / kSecond + 1) * kSecond : INT64_MAX;
        for (;;) {
            const int64_t deadline = time.WriterDeadline();
            const int64_t next = std::min({nextPush, nextBlock, deadline >= 0 ? deadline : INT64_MAX});
            if (next > end)
                break;
            ASSERT_TRUE(time.AdvanceTo(next));
            if (next == nextPush) {
                Push(recorder);
                seed = seed * 1664525u + 1013904223u;
                nextPush += pushEvery + (jitter ? int64_t(seed >> 8) % (2 * jitter + 1) - jitter : 0);
            }
            if (next == nextBlock) {
                DeliverBlock(recorder);
                nextBlock += kSecond;
            }
        }
        ASSERT_TRUE(time.AdvanceTo(end));
    }

    // Where the recording's start lies in the file: at the sound's first sample, or at 0 without sound.
    static double Origin(const std::string& path)
    {
        const auto audio = PacketTimes(path, "a:0");
        return audio.empty() ? 0 : audio.front() + kSoundPriming;
    }

    // Every frame in the file is a pushed one, in order, at the time it was pushed (within `tolerance`
    // seconds, measured from the sound's start); returns the file's frame times from there.
    std::vector<double> ExpectFramesAtPushTimes(const std::string& path, double tolerance)
    {
        const auto numbers = DecodeStripeNumbers(path);
        auto times = PacketTimes(path, "v:0");
        const double origin = Origin(path);
        for (double& t : times)
            t -= origin;
        EXPECT_EQ(numbers.size(), times.size());
        EXPECT_FALSE(numbers.empty());
        for (size_t i = 0; i < std::min(numbers.size(), times.size()); ++i) {
            if (i > 0) {
                EXPECT_GT(numbers[i], numbers[i - 1]) << i;
            }
            const auto pushed = pushedAt.find(numbers[i]);
            if (pushed == pushedAt.end()) {
                ADD_FAILURE() << "frame " << i << " shows number " << numbers[i] << ", never pushed";
                continue;
            }
            EXPECT_NEAR(times[i], double(pushed->second) / kSecond, tolerance) << "frame " << numbers[i];
        }
        return times;
    }

    std::string File(const char* name) const { return dir.path().toStdString() + "/" + name; }

    SimulatedTime time;
    std::shared_ptr<FakeMicrophone::State> mic = std::make_shared<FakeMicrophone::State>();
    std::vector<std::string> messages;
    std::map<int, int64_t> pushedAt;  // frame number -> simulated push time
    int pushed = 0;
    uint32_t seed = 7;
    PlainMessageHandler previousBox;
    QTemporaryDir dir;
};

TEST(WidenTo32Bits, CopiesBlueGreenRedAndClearsTheFourthByte)
{
    std::vector<uint8_t> bgr(size_t(320) * 240 * 3);
    for (size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = uint8_t(i * 7 + 1);
    std::vector<uint8_t> bgr0(size_t(320) * 240 * 4, 0xEE);
    WidenTo32Bits(bgr.data(), 320 * 240, bgr0.data());
    ASSERT_EQ(bgr0.size(), 307200u);
    for (size_t p = 0; p < size_t(320) * 240; ++p) {
        ASSERT_EQ(bgr0[4 * p], bgr[3 * p]);
        ASSERT_EQ(bgr0[4 * p + 1], bgr[3 * p + 1]);
        ASSERT_EQ(bgr0[4 * p + 2], bgr[3 * p + 2]);
        ASSERT_EQ(bgr0[4 * p + 3], 0);
    }
}

TEST_F(RecorderTest, FramesAndSoundReachTheFile)
{
    const std::string path = File("rec.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    EXPECT_TRUE(messages.empty());
    Record(*recorder, 2 * kSecond, kRecordFrameTicks);
    recorder->Stop();

    const ProbeResult probe = Probe(path);
    ASSERT_EQ(probe.status, 0);
    EXPECT_EQ(probe.formatName, "asf");
    ASSERT_EQ(probe.streams.size(), 2u);
    EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
    EXPECT_EQ(probe.streams[1].at("codec_name"), "wmav2");
    EXPECT_NEAR(probe.duration, 2.0, 0.15);
    const auto video = ExpectFramesAtPushTimes(path, kSlotSeconds / 2 + 0.002);
    EXPECT_GE(video.size(), 26u);
    EXPECT_EQ(recorder->DroppedFrames(), 0);
}

// A producer at 25 frames/s against the writer's 13⅓: the file gets one frame per slot, each at the
// time it was pushed, and the frames in between are counted as dropped.
TEST_F(RecorderTest, FrameTimesFollowPushTimesWhenTheProducerOutrunsTheWriter)
{
    const std::string path = File("fast.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    Record(*recorder, 5 * kSecond, 40 * kMillisecond, 0, false);
    // The writer keeps up: what waits is a few frames, not a backlog.
    const int waiting = recorder->QueuedFrames();
    EXPECT_LE(waiting, 4);
    recorder->Stop();

    const auto video = ExpectFramesAtPushTimes(path, kSlotSeconds / 2 + 0.002);
    EXPECT_NEAR(double(video.size()), 5.0 / kSlotSeconds, 3);
    EXPECT_EQ(recorder->DroppedFrames(), pushed - int(video.size()) - waiting);
    EXPECT_GT(recorder->DroppedFrames(), pushed / 3);
}

// A minute of a jittery 75 ms source with sound: neither stream runs away from the other.
TEST_F(RecorderTest, SixtySecondsKeepVideoAndSoundTogether)
{
    const std::string path = File("minute.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    Record(*recorder, 60 * kSecond, kRecordFrameTicks, 12 * kMillisecond);
    recorder->Stop();

    const auto video = ExpectFramesAtPushTimes(path, kSlotSeconds / 2 + 0.002);
    const auto audio = PacketTimes(path, "a:0");
    ASSERT_FALSE(video.empty());
    ASSERT_FALSE(audio.empty());
    const double videoEnd = video.back() + kSlotSeconds;
    const double soundEnd = audio.back() + kSoundPriming - Origin(path);
    EXPECT_NEAR(soundEnd, 60.0, 0.1);
    EXPECT_NEAR(videoEnd, soundEnd, 0.1);
    EXPECT_GT(video.size(), 750u);
}

TEST_F(RecorderTest, WithoutMicrophoneTheFileHasVideoOnly)
{
    mic->opens = false;
    mic->devices = 0;
    auto recorder = MakeRecorder();
    recorder->Start(File("silent.wmv"));
    ASSERT_EQ(messages, std::vector<std::string>{"Audio can not be open!"});
    Record(*recorder, kSecond, kRecordFrameTicks, 0, false);
    recorder->Stop();

    // A second recording on the same recorder writes frames too.
    recorder->Start(File("silent2.wmv"));
    Record(*recorder, kSecond, kRecordFrameTicks, 0, false);
    recorder->Stop();

    for (const char* name : {"silent.wmv", "silent2.wmv"}) {
        const ProbeResult probe = Probe(File(name));
        ASSERT_EQ(probe.streams.size(), 1u) << name;
        EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
        EXPECT_GE(PacketTimes(File(name), "v:0").size(), 13u) << name;
    }
}

// The real ALSA device on a capture device that does not exist: the message, then video only.
TEST_F(RecorderTest, MissingAlsaDeviceGivesVideoOnly)
{
    const std::string path = File("alsa.wmv");
    auto recorder = MakeRecorder({}, MakeAlsaWaveIn("no_such_capture_device"));
    recorder->Start(path);
    EXPECT_EQ(messages, std::vector<std::string>{"Audio can not be open!"});
    Record(*recorder, kSecond / 2, kRecordFrameTicks, 0, false);
    recorder->Stop();
    const ProbeResult probe = Probe(path);
    ASSERT_EQ(probe.streams.size(), 1u);
    EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
}

// The microphone starts only once the file has begun; one that then fails leaves the sound empty.
TEST_F(RecorderTest, MicrophoneThatDoesNotStartLeavesTheSoundEmpty)
{
    mic->starts = false;
    const std::string path = File("nostart.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    Record(*recorder, kSecond, kRecordFrameTicks, 0, false);
    recorder->Stop();
    const ProbeResult probe = Probe(path);
    ASSERT_EQ(probe.status, 0);
    EXPECT_GE(PacketTimes(path, "v:0").size(), 13u);
    EXPECT_TRUE(PacketTimes(path, "a:0").empty());
}

TEST_F(RecorderTest, PausedFramesAndSoundAreDropped)
{
    const std::string path = File("paused.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    Record(*recorder, kSecond, kRecordFrameTicks);
    recorder->Pause();
    Record(*recorder, 3 * kSecond, kRecordFrameTicks);
    recorder->Resume();
    Record(*recorder, kSecond, kRecordFrameTicks);
    recorder->Stop();

    // Video: the frames before the pause, then those after it, three seconds on.
    const auto video = PacketTimes(path, "v:0");
    EXPECT_NEAR(LargestGap(video), 3.0 + kSlotSeconds, kSlotSeconds + 0.002);
    EXPECT_NEAR(double(video.size()), 2.0 / kSlotSeconds, 3);
    // Sound: the second before the pause, then the second after it, three seconds apart.
    const auto audio = PacketTimes(path, "a:0");
    ASSERT_GE(audio.size(), 2u);
    EXPECT_NEAR(LargestGap(audio), 3.0, 0.1);
    EXPECT_NEAR(audio.back() - audio.front(), 5.0, 0.1);
}

TEST_F(RecorderTest, StopRightAfterStartLeavesAValidFile)
{
    const std::string path = File("empty.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    recorder->Stop();
    const ProbeResult probe = Probe(path);
    EXPECT_EQ(probe.status, 0);
    EXPECT_EQ(probe.formatName, "asf");
    // Stop again, and a recorder that never started, do nothing.
    recorder->Stop();
    MakeRecorder()->Stop();
}

TEST_F(RecorderTest, FullQueueDropsTheOldestFrames)
{
    // By default the queue holds about a second at the writer's pace.
    auto recorder = MakeRecorder();
    const auto frame = StripeFrame(0);
    int count = 0;
    for (int i = 0; i < 40; ++i)
        count = recorder->PushFrame(frame.data(), 320, 240);
    EXPECT_EQ(count, 14);
    EXPECT_EQ(recorder->DroppedFrames(), 26);
    recorder->Stop();
    EXPECT_EQ(recorder->QueuedFrames(), 0);

    auto small = MakeRecorder({5, size_t(1) << 30});
    uint8_t tiny[4 * 4 * 3] = {};
    for (int i = 0; i < 100; ++i)
        count = small->PushFrame(tiny, 4, 4);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(small->DroppedFrames(), 95);

    // The byte bound: three 320×240 frames fit in 700 000 bytes, the fourth pushes the oldest out.
    auto bounded = MakeRecorder({10000, 700000});
    for (int i = 0; i < 4; ++i)
        count = bounded->PushFrame(frame.data(), 320, 240);
    EXPECT_EQ(count, 3);
    // Frames that are no frames are not queued.
    EXPECT_EQ(bounded->PushFrame(nullptr, 320, 240), 3);
    EXPECT_EQ(bounded->PushFrame(frame.data(), 0, 240), 3);
    EXPECT_EQ(bounded->PushFrame(frame.data(), 320, -1), 3);
}

TEST_F(RecorderTest, RecordFolderThatDoesNotExist)
{
    auto recorder = MakeRecorder();
    recorder->Start(File("no/such/folder/x.wmv"));
    Record(*recorder, kSecond, kRecordFrameTicks);
    recorder->Stop();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(File("no/such/folder/x.wmv"))));
}

// The real device on ALSA's "null" PCM: counted although no sound card exists, opens in the capture
// format and fills whole blocks.
TEST(AlsaWaveIn, NullDeviceIsCountedAndDeliversWholeBlocks)
{
    auto device = MakeAlsaWaveIn("null");
    EXPECT_GE(device->CountDevices(), 1);
    ASSERT_TRUE(device->Open(WaveFormat{}));
    ASSERT_TRUE(device->Start());
    std::vector<uint8_t> block(88200);
    EXPECT_EQ(device->Read(block.data(), block.size()), 88200);
    EXPECT_EQ(device->Overruns(), 0);
    device->Reset();
    EXPECT_EQ(device->Read(block.data(), block.size()), 0);
    device->Close();
    EXPECT_EQ(device->Read(block.data(), block.size()), -1);

    auto missing = MakeAlsaWaveIn("no_such_pcm_device");
    EXPECT_FALSE(missing->Open(WaveFormat{}));
    EXPECT_FALSE(missing->Start());
}

// After an overrun the silence owed is the time since the start that the delivered sound does not
// cover.
TEST(CaptureTimeline, OwesTheTimeTheDeviceLost)
{
    struct Case {
        int64_t deliveredBefore;  // frames
        int64_t at;               // 100 ns after the start
        uint64_t owed;
    };
    const Case cases[] = {
        {22050, kSecond, 0},                 // all there
        {44100, kSecond, 0},                 // a device ahead of the clock owes nothing
        {11025, kSecond, 11025},             // half a second lost
        {0, 2 * kSecond + kSecond / 2, 55125},
        {0, 3600 * kSecond, uint64_t(CCaptureTimeline::kMaxFillSeconds) * 22050},  // a clock gone wrong
    };
    for (const Case& c : cases) {
        CCaptureTimeline timeline(22050);
        timeline.Start(5 * kSecond);
        timeline.Delivered(uint64_t(c.deliveredBefore));
        EXPECT_EQ(timeline.TakeMissing(5 * kSecond + c.at), c.owed) << c.deliveredBefore << " at " << c.at;
        // Once made up, nothing more is owed at the same moment.
        EXPECT_EQ(timeline.TakeMissing(5 * kSecond + c.at), 0u);
    }
}

}  // namespace
