#include "zendracam/CameraWriterHelper.h"
#include "zendracam/LoopbackOutput.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

// One frame through the writer: the shared-memory copy and the YUYV conversion with its write(), here
// to /dev/null in place of a loopback device.
static void BM_SetOrgBmp24DataYuyv(benchmark::State& state)
{
    v4l2_pix_format format {};
    format.pixelformat = V4L2_PIX_FMT_YUYV;
    format.width = 320;
    format.height = 240;
    format.bytesperline = 640;
    format.sizeimage = 640 * 240;
    const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    CCameraWriterHelper writer("/korvel-bench-" + std::to_string(getpid()));
    if (!writer.InitDevice(zendracam::CLoopbackOutput::Adopt(fd, format)) || !writer.HasLoopbackDevice()) {
        state.SkipWithError("cannot set up the writer");
        return;
    }
    std::vector<uint8_t> frame(zendracam::kFrameBytes);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 13);
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.SetOrgBmp24Data(frame.data(), frame.size()));
}
BENCHMARK(BM_SetOrgBmp24DataYuyv)->Unit(benchmark::kMicrosecond);

// The shared-memory copy alone, as on a machine without a loopback device.
static void BM_SetOrgBmp24DataSharedMemoryOnly(benchmark::State& state)
{
    CCameraWriterHelper writer("/korvel-bench-shm-" + std::to_string(getpid()));
    writer.InitDevice(nullptr);
    std::vector<uint8_t> frame(zendracam::kFrameBytes, 7);
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.SetOrgBmp24Data(frame.data(), frame.size()));
}
BENCHMARK(BM_SetOrgBmp24DataSharedMemoryOnly)->Unit(benchmark::kMicrosecond);
