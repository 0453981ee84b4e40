// The cost of recording: the WMV writer per frame and per sound block, and a real recording of
// 320×240 frames at 13 frames/s with sound, measured as process CPU time per recorded second.
#include "record/Recorder.h"
#include "tests/support/ToneBlock.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

constexpr int64_t kSecond = 10000000;

// A bottom-up 24-bit frame with a pattern that moves with `step`, so the encoder does real work.
std::vector<uint8_t> Frame(int step, int bytesPerPixel)
{
    std::vector<uint8_t> frame(size_t(320) * 240 * bytesPerPixel);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            uint8_t* p = &frame[(size_t(y) * 320 + x) * bytesPerPixel];
            p[0] = uint8_t(x + step * 3);
            p[1] = uint8_t(y * 2 + step);
            p[2] = uint8_t((x ^ y) + step * 5);
        }
    return frame;
}

void BM_WmvWriterFrame(benchmark::State& state)
{
    QTemporaryDir dir;
    int64_t now = 0;
    CWmvWriter writer([&] { return now; });
    writer.Init();
    writer.Configure(dir.path().toStdString() + "/bench.wmv", 240, 320, 32, false);
    writer.BeginWriting();
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < 16; ++i)
        frames.push_back(Frame(i, 4));
    size_t i = 0;
    for (auto _ : state) {
        now += kSecond * 75 / 1000;
        const auto& frame = frames[i++ % frames.size()];
        benchmark::DoNotOptimize(writer.WriteVideo(frame.data(), uint32_t(frame.size())));
    }
    writer.EndWriting();
}
BENCHMARK(BM_WmvWriterFrame)->Unit(benchmark::kMicrosecond);

void BM_WmvWriterSoundBlock(benchmark::State& state)
{
    QTemporaryDir dir;
    int64_t now = 0;
    CWmvWriter writer([&] { return now; });
    writer.Init();
    writer.Configure(dir.path().toStdString() + "/bench.wmv", 240, 320, 32, true);
    writer.BeginWriting();
    const auto tone = ToneBlock();
    for (auto _ : state) {
        now += kSecond;
        benchmark::DoNotOptimize(writer.WriteAudio(tone.data(), uint32_t(tone.size())));
    }
    writer.EndWriting();
}
BENCHMARK(BM_WmvWriterSoundBlock)->Unit(benchmark::kMicrosecond);

void BM_WidenTo32Bits(benchmark::State& state)
{
    const auto frame = Frame(1, 3);
    std::vector<uint8_t> wide(size_t(320) * 240 * 4);
    for (auto _ : state) {
        WidenTo32Bits(frame.data(), 320 * 240, wide.data());
        benchmark::DoNotOptimize(wide.data());
    }
}
BENCHMARK(BM_WidenTo32Bits)->Unit(benchmark::kMicrosecond);

// A microphone that delivers a block of tone once a second, like a real one.
class PacedMicrophone final : public IWaveInDevice {
public:
    int CountDevices() override { return 1; }
    bool Open(const WaveFormat&) override { return true; }
    bool Start() override
    {
        next_ = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        return true;
    }
    long Read(uint8_t* buffer, size_t bytes) override
    {
        while (!reset_ && std::chrono::steady_clock::now() < next_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (reset_)
            return 0;
        next_ += std::chrono::seconds(1);
        std::copy_n(tone_.begin(), std::min(bytes, tone_.size()), buffer);
        return long(bytes);
    }
    void Reset() override { reset_ = true; }
    void Close() override {}
    int Overruns() override { return 0; }

private:
    std::vector<uint8_t> tone_ = ToneBlock();
    std::chrono::steady_clock::time_point next_;
    std::atomic<bool> reset_{false};
};

// One iteration is one real second of recording: a producer pushes 13 frames, the writer thread
// writes them, one sound block arrives. Process CPU time per iteration is the share of one core.
void BM_RecordingSecondAt13Fps(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench_record";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    QTemporaryDir dir;
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < 13; ++i)
        frames.push_back(Frame(i, 3));
    CRecorder recorder(std::make_unique<PacedMicrophone>());
    recorder.Start(dir.path().toStdString() + "/bench.wmv");
    for (auto _ : state) {
        QElapsedTimer second;
        second.start();
        for (int f = 0; f < 13; ++f) {
            recorder.PushFrame(frames[size_t(f)].data(), 320, 240);
            while (second.elapsed() < (f + 1) * 1000 / 13) {
                QCoreApplication::processEvents();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }
    recorder.Stop();
}
BENCHMARK(BM_RecordingSecondAt13Fps)->Unit(benchmark::kMillisecond)->Iterations(5)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
