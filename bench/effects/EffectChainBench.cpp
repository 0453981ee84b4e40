// RunChain on a 320×240 frame with the shipped pictures, the overlays' pauses left out:
// (a) five layers of 320×240 and 160×120 pictures; (b) plus the picture-in-picture with a mask and a
// background; (c) plus the text line.
#include "effects/EffectChain.h"
#include "effects/FrameBuffer.h"
#include "effects/Pacing.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

const std::string kEffect = std::string(KORVEL_SOURCE_DIR) + "/assets/Effect/";

void NoPause(int) {}

void EnsureGuiApplication()
{
    static int argc = 1;
    static char name[] = "bench_effects";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
}

enum Setup { LAYERS, LAYERS_PIP, LAYERS_PIP_TEXT };

void RunChainWith(benchmark::State& state, Setup setup)
{
    EnsureGuiApplication();
    SetPaceFunction(&NoPause);
    CEffectChain chain;
    chain.AddLayer(2, 1, kEffect + "cartoon/stars.gif");      // 160×120, animated
    chain.AddLayer(4, 2, kEffect + "frame/gold.gif");         // 320×240
    chain.AddLayer(8, 3, kEffect + "other/crown.gif");        // 320×240
    chain.AddLayer(16, 4, kEffect + "light/bokeh.gif");       // 320×240, animated
    chain.AddLayer(32, 5, kEffect + "cartoon/bubbles.gif");   // 160×120, animated
    while (!chain.LayersLoaded())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (setup >= LAYERS_PIP) {
        SettingsRecord::InnerImgGroup pip;
        pip.FloatType = 2;
        pip.ZoomSize = 40;
        pip.FrontImg = kEffect + "DoubleImage/heart.jpg";
        pip.BackImg = kEffect + "waitvideo/colourbars.jpg";
        chain.Pip().SetPip(pip);
        chain.Pip().SetPipClose(false);
    }
    if (setup >= LAYERS_PIP_TEXT) {
        SettingsRecord::AddFontGroup text;
        text.Content = "Korvel 虚拟视频工作室 — welcome to the show";
        text.FontSize = 18;
        text.FontHeight = 20;
        text.ChangeType = 1;
        text.ChangSpeed = 3;
        chain.Text().SetTextLine(text);
    }
    std::vector<uint8_t> video(kFrameBytes), frame(kFrameBytes);
    for (size_t i = 0; i < video.size(); ++i)
        video[i] = uint8_t(i * 7 / 3);
    // One pass over every animation frame fills the prepared pictures before timing.
    for (int i = 0; i < 300; ++i) {
        frame = video;
        chain.RunChain(frame.data());
    }
    // Every rule costs the same whatever the bytes, so the frame is worked on again and again.
    for (auto _ : state) {
        chain.RunChain(frame.data());
        benchmark::DoNotOptimize(frame.data());
    }
    SetPaceFunction(nullptr);
}

void BM_RunChain_a_FiveLayers(benchmark::State& state) { RunChainWith(state, LAYERS); }
void BM_RunChain_b_PlusPip(benchmark::State& state) { RunChainWith(state, LAYERS_PIP); }
void BM_RunChain_c_PlusText(benchmark::State& state) { RunChainWith(state, LAYERS_PIP_TEXT); }

// The machine is shared: the least of the repetitions shows the work itself, the median what a busy
// machine makes of it.
double Least(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

}  // namespace

BENCHMARK(BM_RunChain_a_FiveLayers)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ComputeStatistics("min", Least)->ReportAggregatesOnly(true);
BENCHMARK(BM_RunChain_b_PlusPip)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ComputeStatistics("min", Least)->ReportAggregatesOnly(true);
BENCHMARK(BM_RunChain_c_PlusText)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ComputeStatistics("min", Least)->ReportAggregatesOnly(true);
