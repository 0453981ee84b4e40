#include "settings/Settings.h"
#include "pipeline/PhotoSnapshot.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

// One photo of a busy frame: the JPEG encoding and the file write.
static void BM_SavePhoto(benchmark::State& state)
{
    QTemporaryDir dir;
    Settings.SavePath.MyPhotoPath = dir.path().toStdString();
    SetPhotoClock([] { return std::time_t(1270015509); });
    std::vector<uint8_t> frame(320 * 240 * 3);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7 + i / 960);
    for (auto _ : state)
        benchmark::DoNotOptimize(SavePhoto(frame.data(), 320, 240));
}
BENCHMARK(BM_SavePhoto)->Unit(benchmark::kMicrosecond);
