#include "diag/PlainMessageBox.h"
#include "record/Recorder.h"
#include "Probe.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr int64_t kSecond = 10000000;

// A microphone that delivers a block of tone each time the test lets it.
class FakeMicrophone final : public IWaveInDevice {
public:
    struct State {
        bool opens = true;
        int devices = 1;
        std::mutex lock;
        std::condition_variable changed;
        int allowed = 0;
        int delivered = 0;
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
    bool Start() override { return true; }
    long Read(uint8_t* buffer, size_t bytes) override
    {
        std::unique_lock<std::mutex> hold(state_->lock);
        state_->changed.wait(hold, [&] { return state_->reset || state_->allowed > 0; });
        if (state_->reset)
            return 0;
        --state_->allowed;
        ++state_->delivered;
        for (size_t i = 0; i + 1 < bytes; i += 2) {
            const int16_t v = int16_t((i / 4) % 50 < 25 ? 6000 : -6000);
            buffer[i] = uint8_t(v & 0xFF);
            buffer[i + 1] = uint8_t(v >> 8);
        }
        state_->changed.notify_all();
        return long(bytes);
    }
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

    std::unique_ptr<CRecorder> MakeRecorder(RecorderQueueLimits limits = {})
    {
        return std::make_unique<CRecorder>(std::make_unique<FakeMicrophone>(mic), limits,
                                           [this] { return now.load(); });
    }

    // Runs the event loop until `done` holds or five seconds passed.
    template <typename Predicate>
    bool Pump(Predicate done)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

    // Lets the microphone deliver one block a second later than the last, then hands it to the writer.
    void DeliverBlock()
    {
        now += kSecond;
        int before;
        {
            std::lock_guard<std::mutex> hold(mic->lock);
            before = mic->delivered;
            ++mic->allowed;
        }
        mic->changed.notify_all();
        ASSERT_TRUE(Pump([&] {
            std::lock_guard<std::mutex> hold(mic->lock);
            return mic->delivered > before;
        }));
        // The block reaches the writer through the event loop.
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::string File(const char* name) const { return dir.path().toStdString() + "/" + name; }

    std::shared_ptr<FakeMicrophone::State> mic = std::make_shared<FakeMicrophone::State>();
    std::atomic<int64_t> now{130000000000000000};
    std::vector<std::string> messages;
    PlainMessageHandler previousBox;
    QTemporaryDir dir;
    const std::vector<uint8_t> frame = std::vector<uint8_t>(size_t(320) * 240 * 3, 90);
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
    for (int second = 0; second < 2; ++second) {
        for (int i = 0; i < 3; ++i)
            recorder->PushFrame(frame.data(), 320, 240);
        ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
        DeliverBlock();
    }
    recorder->Stop();

    const ProbeResult probe = Probe(path);
    ASSERT_EQ(probe.status, 0);
    EXPECT_EQ(probe.formatName, "asf");
    ASSERT_EQ(probe.streams.size(), 2u);
    EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
    EXPECT_EQ(probe.streams[1].at("codec_name"), "wmav2");
    EXPECT_EQ(PacketTimes(path, "v:0").size(), 6u);
    EXPECT_NEAR(probe.duration, 2.0, 0.3);
}

TEST_F(RecorderTest, WithoutMicrophoneTheFileHasVideoOnly)
{
    mic->opens = false;
    mic->devices = 0;
    const std::string path = File("silent.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    ASSERT_EQ(messages, std::vector<std::string>{"Audio can not be open!"});
    recorder->PushFrame(frame.data(), 320, 240);
    ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
    recorder->Stop();

    // A second recording on the same recorder writes frames too.
    recorder->Start(File("silent2.wmv"));
    recorder->PushFrame(frame.data(), 320, 240);
    ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
    recorder->Stop();

    for (const char* name : {"silent.wmv", "silent2.wmv"}) {
        const ProbeResult probe = Probe(File(name));
        ASSERT_EQ(probe.streams.size(), 1u) << name;
        EXPECT_EQ(probe.streams[0].at("codec_name"), "wmv2");
        EXPECT_EQ(PacketTimes(File(name), "v:0").size(), 1u) << name;
    }
}

TEST_F(RecorderTest, PausedFramesAndSoundAreDropped)
{
    const std::string path = File("paused.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    recorder->PushFrame(frame.data(), 320, 240);
    ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
    DeliverBlock();
    recorder->Pause();
    for (int i = 0; i < 4; ++i)
        recorder->PushFrame(frame.data(), 320, 240);
    ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
    for (int i = 0; i < 3; ++i)
        DeliverBlock();
    recorder->Resume();
    recorder->PushFrame(frame.data(), 320, 240);
    ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
    DeliverBlock();
    recorder->Stop();

    const auto video = PacketTimes(path, "v:0");
    ASSERT_EQ(video.size(), 2u);
    EXPECT_NEAR(video[1] - video[0], 4.0, 0.05);
    // Sound: the second before the pause, then the second after it, three seconds apart.
    const auto audio = PacketTimes(path, "a:0");
    ASSERT_GE(audio.size(), 2u);
    double gap = 0;
    for (size_t i = 1; i < audio.size(); ++i)
        gap = std::max(gap, audio[i] - audio[i - 1]);
    EXPECT_NEAR(gap, 3.0, 0.1);
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

TEST_F(RecorderTest, FastProducerDropsTheOldestFrames)
{
    auto recorder = MakeRecorder({5, size_t(1) << 30});
    uint8_t tiny[4 * 4 * 3] = {};
    int count = 0;
    for (int i = 0; i < 100; ++i)
        count = recorder->PushFrame(tiny, 4, 4);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(recorder->DroppedFrames(), 95);

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

// A producer faster than the writer: the writer takes at most one frame per 75 ms, Stop discards the
// rest and returns promptly.
TEST_F(RecorderTest, StopDiscardsQueuedFrames)
{
    const std::string path = File("fast.wmv");
    auto recorder = MakeRecorder();
    recorder->Start(path);
    int count = 0;
    for (int i = 0; i < 40; ++i)
        count = recorder->PushFrame(frame.data(), 320, 240);
    EXPECT_GT(count, 30);
    recorder->Stop();
    EXPECT_EQ(recorder->QueuedFrames(), 0);
    const auto written = PacketTimes(path, "v:0").size();
    EXPECT_GE(written, 1u);
    EXPECT_LT(written, 40u);
}

TEST_F(RecorderTest, RecordFolderThatDoesNotExist)
{
    auto recorder = MakeRecorder();
    recorder->Start(File("no/such/folder/x.wmv"));
    recorder->PushFrame(frame.data(), 320, 240);
    ASSERT_TRUE(Pump([&] { return recorder->AllFramesWritten(); }));
    DeliverBlock();
    recorder->Stop();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(File("no/such/folder/x.wmv"))));
}

// The real device on ALSA's "null" PCM: opens in the capture format and fills whole blocks.
TEST(AlsaWaveIn, NullDeviceDeliversWholeBlocks)
{
    auto device = MakeAlsaWaveIn("null");
    EXPECT_GE(device->CountDevices(), 0);
    ASSERT_TRUE(device->Open(WaveFormat{}));
    ASSERT_TRUE(device->Start());
    std::vector<uint8_t> block(88200);
    EXPECT_EQ(device->Read(block.data(), block.size()), 88200);
    device->Reset();
    EXPECT_EQ(device->Read(block.data(), block.size()), 0);
    device->Close();
    EXPECT_EQ(device->Read(block.data(), block.size()), -1);

    auto missing = MakeAlsaWaveIn("no_such_pcm_device");
    EXPECT_FALSE(missing->Open(WaveFormat{}));
    EXPECT_FALSE(missing->Start());
}

}  // namespace
