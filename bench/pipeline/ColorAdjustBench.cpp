#include "pipeline/ColorAdjust.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_AdjustColorFrame(benchmark::State& state)
{
    std::vector<uint8_t> frame(320 * 240 * 3);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7);
    for (auto _ : state) {
        AdjustColor(frame.data(), 320, 240, BrightnessOffset(90), 120, 0, 102, 150);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AdjustColorFrame)->Unit(benchmark::kMicrosecond);
