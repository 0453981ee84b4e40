#include "ktv/KaraokeEngine.h"

#include "support/GuiApp.h"
#include "Waiting.h"
#include "settings/Settings.h"
#include "support/Files.h"

#include <QFontMetrics>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

constexpr int kFrameBytes = 230400;
constexpr int kStride = 960;

class FakeClock : public IMediaClock {
public:
    double Position() override { return position; }
    bool IsEnded() const override { return ended; }
    std::atomic<double> position{0};
    std::atomic<bool> ended{false};
};

std::string Script(const std::string& offsetLine, const std::vector<std::string>& texts)
{
    std::string s = "karaoke := CreateKaraokeObject;\nkaraoke.rows := 2;\n" + offsetLine + "\n";
    for (size_t i = 0; i < texts.size(); ++i) {
        char line[256];
        std::snprintf(line, sizeof line, "karaoke.add('00:%02zu.000', '00:%02zu.000', '%s', '1');\n", 2 * i,
                      2 * i + 2, texts[i].c_str());
        s += line;
    }
    return s;
}

class KaraokeEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiApp();
        Settings.LyricRunning = 1;
        engine_.SetClock(&clock_);
    }

    std::string Lyric(const std::string& bytes)
    {
        const std::string path = dir_.path().toStdString() + "/l" + std::to_string(++files_) + ".rar";
        WriteFileBytes(path, bytes);
        return path;
    }

    // Loads a song whose rows are the texts, two seconds each, with a one-second offset.
    void LoadRows(const std::vector<std::string>& texts)
    {
        engine_.SetSong("song.mp3", Lyric(Script("karaoke.TimeOffset :=1000;", texts)));
        engine_.LoadLyrics();
    }

    void PollAt(double seconds)
    {
        clock_.position = seconds;
        engine_.PollLyric();
    }

    QTemporaryDir dir_;
    int files_ = 0;
    FakeClock clock_;
    CKaraokeEngine engine_;
};

TEST_F(KaraokeEngineTest, SetSongReportsActiveness)
{
    const struct {
        const char* song;
        const char* lyric;
        bool set, active;
    } cases[] = {{"", "", false, false}, {"a.mp3", "", true, false}, {"", "a.rar", true, false},
                 {"a.mp3", "a.rar", true, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(engine_.SetSong(c.song, c.lyric), c.set) << c.song << "|" << c.lyric;
        EXPECT_EQ(engine_.IsActive(), c.active) << c.song << "|" << c.lyric;
    }
}

TEST_F(KaraokeEngineTest, CurrentRowAlternatesBetweenLines)
{
    LoadRows({"one", "two", "three", "four"});
    EXPECT_EQ(engine_.TimeOffset(), 1000u);
    ASSERT_EQ(engine_.Rows().size(), 4u);

    const struct {
        double position;
        const char* upper;
        const char* lower;
        int selector;
        double fraction;
    } steps[] = {
        {0.5, "", "", 0, 0},                   // before the offset: no row
        {1.5, "one", "two", 1, 0.25},          // rel 500 in [0, 2000)
        {2.999, "one", "two", 1, 0.9995},
        {3.0, "three", "two", 2, 0.0},         // "two" is already shown below
        {4.0, "three", "two", 2, 0.5},
        {5.5, "three", "four", 1, 0.25},
        {7.25, "THE END!", "four", 2, 0.125},  // the last row: the other line ends the song
        {0.2, "THE END!", "four", 2, 0.125},   // seeking before the offset keeps everything
        {9.5, "THE END!", "four", 2, 0.125},   // past the last row likewise
        {1.0, "one", "two", 1, 0.0},           // seeking back to the start
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.position);
        PollAt(s.position);
        EXPECT_EQ(engine_.UpperText(), QString(s.upper));
        EXPECT_EQ(engine_.LowerText(), QString(s.lower));
        EXPECT_EQ(engine_.Selector(), s.selector);
        EXPECT_DOUBLE_EQ(engine_.SungFraction(), s.fraction);
    }
}

TEST_F(KaraokeEngineTest, SongEndStopsTheLyricLoop)
{
    LoadRows({"a"});
    PollAt(1.5);
    EXPECT_EQ(Settings.LyricRunning, 1);
    clock_.ended = true;
    PollAt(1.6);
    EXPECT_EQ(Settings.LyricRunning, 0);
}

TEST_F(KaraokeEngineTest, FileWithoutTimeOffsetKeepsTheOffset)
{
    engine_.SetSong("s.mp3", Lyric(Script("", {"x"})));
    engine_.LoadLyrics();
    EXPECT_EQ(engine_.TimeOffset(), CKaraokeEngine::kDefaultTimeOffset);
    PollAt(4.9);
    EXPECT_EQ(engine_.UpperText(), QString());
    PollAt(5.0);
    EXPECT_EQ(engine_.UpperText(), QString("x"));
}

TEST_F(KaraokeEngineTest, LyricThreadFollowsTheClockAndEndsWithTheSong)
{
    engine_.SetSong("", Lyric(Script("karaoke.TimeOffset :=0;", {"first", "second"})));
    engine_.LoadLyrics();
    clock_.position = 0.5;
    engine_.Start();
    EXPECT_EQ(engine_.ThreadCount(), 1);
    ASSERT_TRUE(WaitFor([&] { return engine_.UpperText() == "first"; }));
    EXPECT_EQ(engine_.LowerText(), QString("second"));
    clock_.position = 2.5;
    ASSERT_TRUE(WaitFor([&] { return engine_.Selector() == 2; }));
    EXPECT_EQ(engine_.UpperText(), QString("THE END!"));
    clock_.ended = true;
    ASSERT_TRUE(WaitFor([&] { return engine_.IsThreadFinished(); }));
    EXPECT_EQ(Settings.LyricRunning, 0);
}

TEST_F(KaraokeEngineTest, StopEndsAThreadStillInItsFirstWait)
{
    // The default offset keeps the new thread waiting five seconds before its first look.
    engine_.SetSong("", Lyric(Script("", {"x"})));
    engine_.LoadLyrics();
    clock_.position = 5.5;
    engine_.Start();
    engine_.Stop();
    EXPECT_TRUE(engine_.IsThreadFinished());
    // The next song arms the lyric flag again; the old thread must not wake up to it.
    engine_.SetSong("", Lyric(Script("", {"y"})));
    engine_.LoadLyrics();
    EXPECT_EQ(Settings.LyricRunning, 1);
    EXPECT_EQ(engine_.UpperText(), QString());
}

// ---- drawing ----

std::vector<uint8_t> PatternFrame()
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (int i = 0; i < kFrameBytes; ++i)
        frame[i] = uint8_t(i * 7 + 3);
    return frame;
}

TEST(MergeLyricBands, DimsBothBandsAndSweepsTheCurrentLine)
{
    std::vector<uint8_t> frame(kFrameBytes, 101);
    std::vector<uint8_t> upper(kBandBytes, 50), lower(kBandBytes, 50);
    auto key = [](std::vector<uint8_t>& band, int y, int x) {
        band[y * kBandStride + 3 * x] = 0;
        band[y * kBandStride + 3 * x + 1] = 0;
        band[y * kBandStride + 3 * x + 2] = 255;
    };
    for (int x : {10, 11, 29, 30, 31})  // origin 10, sung 20: columns 11..29
        key(upper, 3, x);
    key(lower, 3, 15);
    upper[5 * kBandStride + 3 * 15 + 2] = 254;  // near the key colour is not the key colour

    MergeLyricBands(frame.data(), upper.data(), lower.data(), 1, 10, 20);

    auto pixel = [&](int rowFromBottom, int x) {
        const uint8_t* p = &frame[rowFromBottom * kStride + 3 * x];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    const std::vector<int> dim{75, 75, 75}, sung{200, 200, 200}, halfRed{50, 50, 178};
    EXPECT_EQ(pixel(23, 10), halfRed);  // the origin column itself is not swept
    EXPECT_EQ(pixel(23, 11), sung);
    EXPECT_EQ(pixel(23, 29), sung);
    EXPECT_EQ(pixel(23, 30), halfRed);  // origin + sung is not swept either
    EXPECT_EQ(pixel(23, 31), halfRed);
    EXPECT_EQ(pixel(25, 15), (std::vector<int>{75, 75, 177}));
    EXPECT_EQ(pixel(3, 15), halfRed);   // the lower line is not the current one
    EXPECT_EQ(pixel(0, 0), dim);
    EXPECT_EQ(pixel(39, 319), dim);
    EXPECT_EQ(pixel(40, 0), (std::vector<int>{101, 101, 101}));  // above the band: untouched
    EXPECT_EQ(pixel(239, 319), (std::vector<int>{101, 101, 101}));

    // The lower line current, its origin right-aligned and partly left of the frame.
    std::vector<uint8_t> frame2(kFrameBytes, 0);
    std::vector<uint8_t> lower2(kBandBytes, 0);
    key(lower2, 0, 0);
    key(lower2, 0, 4);
    key(lower2, 0, 5);
    MergeLyricBands(frame2.data(), upper.data(), lower2.data(), 2, -3, 8);
    EXPECT_EQ(frame2[0], 200);
    EXPECT_EQ(frame2[3 * 4], 200);
    EXPECT_EQ(frame2[3 * 5 + 2], 127);  // column 5 = origin + sung
}

TEST_F(KaraokeEngineTest, PainterFontFitsTheBandAndDrawsCjk)
{
    CLyricPainter painter;
    EXPECT_LE(QFontMetrics(painter.Font()).height(), kBandRows);
    DisplayLine line;
    line.text = QString::fromUtf8("一闪一闪亮晶晶");
    painter.Render(line, true);
    EXPECT_GT(line.width, 7 * 8);
    int keyPixels = 0, other = 0;
    for (int i = 0; i < kBandBytes; i += 3) {
        const bool black = line.pixels[i] == 0 && line.pixels[i + 1] == 0 && line.pixels[i + 2] == 0;
        const bool key = line.pixels[i] == 0 && line.pixels[i + 1] == 0 && line.pixels[i + 2] == 255;
        keyPixels += key;
        other += !black && !key;
        // Nothing left of the upper line's origin.
        if ((i % kBandStride) / 3 < 10) {
            EXPECT_TRUE(black);
        }
    }
    EXPECT_GT(keyPixels, 50);
    EXPECT_EQ(other, 0);

    DisplayLine right;
    right.text = "ab";
    painter.Render(right, false);
    for (int i = 0; i < kBandBytes; i += 3) {
        const int x = (i % kBandStride) / 3;
        if (x >= 310 || x < 310 - right.width) {
            EXPECT_EQ(right.pixels[i + 2], 0) << x;
        }
    }
}

TEST_F(KaraokeEngineTest, DrawsTheBandWithTheSweep)
{
    LoadRows({"一闪一闪亮晶晶", "满天都是小星星"});
    const std::vector<uint8_t> original = PatternFrame();
    auto frame = original;
    auto drawnAt = [&](double position) {
        PollAt(position);
        frame = original;
        engine_.DrawInto(frame.data());
        return frame != original;
    };

    EXPECT_FALSE(drawnAt(0.5));   // no row yet: both lines empty
    EXPECT_FALSE(drawnAt(1.0));   // first pixel of the sweep
    ASSERT_TRUE(drawnAt(2.0));    // half of the first row
    EXPECT_TRUE(std::equal(frame.begin() + 40 * kStride, frame.end(), original.begin() + 40 * kStride));
    int sung = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint8_t* p = &frame[y * kStride + 3 * x];
            if (p[0] == 200 && p[1] == 200 && p[2] == 200) {
                ++sung;
                EXPECT_GT(x, 10);
            }
        }
    EXPECT_GT(sung, 20);
    // Half of the band's pixels is the frame's, halved.
    const int i = 0;
    EXPECT_EQ(frame[i], original[i] >> 1);
    const auto drawn = frame;

    engine_.Pause();
    EXPECT_FALSE(drawnAt(2.0));
    engine_.Resume();
    EXPECT_TRUE(drawnAt(2.0));

    // After stop the last band stays as it was.
    engine_.Stop();
    frame = original;
    engine_.DrawInto(frame.data());
    EXPECT_EQ(frame, drawn);

    // The next song's load hides it until its first row is current.
    LoadRows({"x", "y"});
    frame = original;
    engine_.DrawInto(frame.data());
    EXPECT_EQ(frame, original);
}

TEST_F(KaraokeEngineTest, EmptyLyricFileDrawsNothing)
{
    for (const std::string& bytes : {std::string(), std::string("CreateKaraokeObject\n"), std::string("\x01\x02\xff")}) {
        engine_.SetSong("s.mp3", Lyric(bytes));
        engine_.LoadLyrics();
        EXPECT_TRUE(engine_.Rows().empty());
        for (double t : {0.0, 1.0, 6.0, 100.0})
            PollAt(t);
        auto frame = PatternFrame();
        engine_.DrawInto(frame.data());
        EXPECT_EQ(frame, PatternFrame());
    }
}

}  // namespace
