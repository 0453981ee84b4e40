// The virtual camera writer: one frame through every output, and what keeping a quiet camera fed costs.
// The PipeWire node runs on a private daemon with GStreamer's pipewiresrc attached, so that the node is
// streaming and its thread really converts; the loopback device is /dev/null behind the real write().
#include "zendracam/CameraWriterHelper.h"
#include "zendracam/LoopbackOutput.h"
#include "zendracam/PixelConvert.h"

#include "tests/support/PrivatePipeWire.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

std::unique_ptr<zendracam::CLoopbackOutput> NullLoopback()
{
    v4l2_pix_format format {};
    format.pixelformat = V4L2_PIX_FMT_YUYV;
    format.width = 320;
    format.height = 240;
    format.bytesperline = 640;
    format.sizeimage = 640 * 240;
    return zendracam::CLoopbackOutput::Adopt(zendracam::OpenVideoNode("/dev/null"), format);
}

std::vector<uint8_t> Frame()
{
    std::vector<uint8_t> frame(zendracam::kFrameBytes);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 13);
    return frame;
}

// A writer with all three outputs, its PipeWire node streaming to a consumer.
class EveryOutput {
public:
    // False, with the benchmark skipped and why, when it cannot be set up.
    bool Start(benchmark::State& state)
    {
        std::string why;
        if (Set(&why))
            return true;
        state.SkipWithError(why.c_str());
        return false;
    }

    ~EveryOutput()
    {
        writer_.UninitDevice();
        if (consumer_) {
            consumer_->kill();
            consumer_->waitForFinished(3000);
        }
    }

    CCameraWriterHelper& Writer() { return writer_; }

private:
    bool Set(std::string* why)
    {
        QString reason;
        if (!daemon_.Start(&reason)) {
            *why = "PipeWire cannot start here: " + reason.toStdString();
            return false;
        }
        daemon_.UseInThisProcess();
        CCameraWriterHelper::Outputs outputs;
        outputs.loopback = NullLoopback();
        outputs.pipeWire = zendracam::CPipeWireOutput::Start(zendracam::kVirtualCameraName, zendracam::kWriterFramesPerSecond);
        if (!outputs.loopback || !outputs.pipeWire || !writer_.InitDevice(std::move(outputs))) {
            *why = "cannot set up the writer";
            return false;
        }
        const QJsonObject node = daemon_.WaitForNode(zendracam::kVirtualCameraName, 10000);
        consumer_ = daemon_.StartConsumer(node, "YUY2");
        for (int wait = 0; wait < 100; ++wait) {
            const QJsonObject now = daemon_.WaitForNode(zendracam::kVirtualCameraName, 0);
            if (now["info"]["state"].toString() == "running")
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        *why = "the consumer never started streaming";
        return false;
    }

    PrivatePipeWire daemon_;
    std::unique_ptr<QProcess> consumer_;
    CCameraWriterHelper writer_{"/dev/shm/korvel-bench-" + std::to_string(getpid())};
};

// Time on the processor so far of each of this process's threads, by thread name.
std::map<std::string, std::chrono::nanoseconds> ThreadTimes()
{
    std::map<std::string, std::chrono::nanoseconds> times;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return times;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        const std::string at = std::string("/proc/self/task/") + task->d_name;
        std::string name;
        long long ns = 0;
        std::getline(std::ifstream(at + "/comm"), name);
        std::ifstream(at + "/schedstat") >> ns;
        times[name] += std::chrono::nanoseconds(ns);
    }
    closedir(tasks);
    return times;
}

std::chrono::nanoseconds ProcessTime()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

}  // namespace

// One frame to every output: YUYV conversion and write() for the loopback device, the copy handed to
// the PipeWire node, the copy into the shared-memory area.
static void BM_SetOrgBmp24DataEveryOutput(benchmark::State& state)
{
    EveryOutput outputs;
    if (!outputs.Start(state))
        return;
    const auto frame = Frame();
    for (auto _ : state)
        benchmark::DoNotOptimize(outputs.Writer().SetOrgBmp24Data(frame.data(), frame.size()));
}
BENCHMARK(BM_SetOrgBmp24DataEveryOutput)->Unit(benchmark::kMicrosecond);

// The same without PipeWire, as on a machine where no daemon runs.
static void BM_SetOrgBmp24DataLoopbackAndSharedMemory(benchmark::State& state)
{
    CCameraWriterHelper writer("/dev/shm/korvel-bench-" + std::to_string(getpid()));
    CCameraWriterHelper::Outputs outputs;
    outputs.loopback = NullLoopback();
    if (!writer.InitDevice(std::move(outputs)) || !writer.HasLoopbackDevice()) {
        state.SkipWithError("cannot set up the writer");
        return;
    }
    const auto frame = Frame();
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.SetOrgBmp24Data(frame.data(), frame.size()));
}
BENCHMARK(BM_SetOrgBmp24DataLoopbackAndSharedMemory)->Unit(benchmark::kMicrosecond);

// What the PipeWire node's thread does for each frame it sends, by format the consumer picked.
static void BM_PipeWireFrameConversion(benchmark::State& state)
{
    const bool yuy2 = state.range(0) == 0;
    const auto frame = Frame();
    std::vector<uint8_t> out(320 * 4 * 240);
    for (auto _ : state) {
        if (yuy2)
            zendracam::BgrBottomUpToYuv422(frame.data(), 320, 240, out.data(), 640, false);
        else
            zendracam::BgrBottomUpToTopDown32(frame.data(), 320, 240, out.data(), 1280, false);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(yuy2 ? "YUY2" : "BGRx");
}
BENCHMARK(BM_PipeWireFrameConversion)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Three quiet seconds with every output: the repeat thread's share of one core, the PipeWire thread's
// (it converts each repeat for the consumer), and the whole process's.
static void BM_QuietCameraCost(benchmark::State& state)
{
    EveryOutput outputs;
    if (!outputs.Start(state))
        return;
    const auto frame = Frame();
    outputs.Writer().SetOrgBmp24Data(frame.data(), frame.size());
    constexpr auto kQuiet = std::chrono::seconds(3);
    for (auto _ : state) {
        const auto threadsBefore = ThreadTimes();
        const auto processBefore = ProcessTime();
        std::this_thread::sleep_for(kQuiet);
        auto threadsAfter = ThreadTimes();
        const auto share = [&](std::chrono::nanoseconds spent) { return 100.0 * double(spent.count()) / double(std::chrono::nanoseconds(kQuiet).count()); };
        state.counters["repeat_thread_%"] = share(threadsAfter["zendracam-rep"] - threadsBefore.at("zendracam-rep"));
        state.counters["pipewire_thread_%"] = share(threadsAfter["zendracam-pw"] - threadsBefore.at("zendracam-pw"));
        state.counters["process_%"] = share(ProcessTime() - processBefore);
    }
}
BENCHMARK(BM_QuietCameraCost)->Iterations(1)->Unit(benchmark::kMillisecond);
