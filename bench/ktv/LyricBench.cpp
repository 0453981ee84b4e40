// The lyric lines' cost per frame: render (when a text changed) and merge into the frame.
#include "ktv/KaraokeEngine.h"
#include "ktv/LyricBand.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <vector>

namespace {

class ScriptedClock : public IMediaClock {
public:
    double Position() override { return position; }
    bool IsEnded() const override { return false; }
    double position = 0;
};

QGuiApplication& App()
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

struct Song {
    Song()
    {
        App();
        const std::string path = dir.path().toStdString() + "/song.rar";
        std::ofstream(path) << "karaoke := CreateKaraokeObject;\nkaraoke.TimeOffset := 0;\n"
                               "karaoke.add('00:00.000', '00:04.000', '一闪一闪亮晶晶 twinkle twinkle', '1');\n"
                               "karaoke.add('00:04.000', '00:08.000', '满天都是小星星 little star', '1');\n"
                               "karaoke.add('00:08.000', '00:12.000', '挂在天上放光明 how I wonder', '1');\n";
        engine.SetClock(&clock);
        engine.SetSong("song.mp3", path);
        engine.LoadLyrics();
    }
    QTemporaryDir dir;
    ScriptedClock clock;
    CKaraokeEngine engine;
    std::vector<uint8_t> frame = std::vector<uint8_t>(230400, 90);
};

// The usual frame: the lines' texts are as they were on the last frame.
void BM_LyricDrawInto(benchmark::State& state)
{
    Song song;
    song.clock.position = 2.0;
    song.engine.PollLyric();
    for (auto _ : state) {
        song.engine.DrawInto(song.frame.data());
        benchmark::DoNotOptimize(song.frame.data());
    }
}
BENCHMARK(BM_LyricDrawInto)->Unit(benchmark::kMicrosecond);

// Every frame a new row: both lines drawn again with QPainter, then merged.
void BM_LyricDrawIntoNewRow(benchmark::State& state)
{
    Song song;
    int row = 0;
    for (auto _ : state) {
        song.clock.position = 2.0 + 4.0 * (row++ % 3);
        song.engine.PollLyric();
        song.engine.DrawInto(song.frame.data());
        benchmark::DoNotOptimize(song.frame.data());
    }
}
BENCHMARK(BM_LyricDrawIntoNewRow)->Unit(benchmark::kMicrosecond);

void BM_MergeLyricBands(benchmark::State& state)
{
    std::vector<uint8_t> frame(230400, 90), upper(kBandBytes, 0), lower(kBandBytes, 0);
    for (int i = 0; i < kBandBytes; i += 9)
        upper[i + 2] = lower[i + 2] = 255;
    for (auto _ : state) {
        MergeLyricBands(frame.data(), upper.data(), lower.data(), 1, 10, 150);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_MergeLyricBands)->Unit(benchmark::kMicrosecond);

}  // namespace
