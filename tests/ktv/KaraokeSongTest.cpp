// The sample song with its lyric script through the real player: what the headless studio does with
// --song and --lyrics (PlaySong once, DrawInto on every frame).
#include "ktv/KaraokeEngine.h"

#include "support/GuiApp.h"
#include "Waiting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kStride = 960;

int SweptPixels(const std::vector<uint8_t>& frame, int firstRow, int lastRow)
{
    int n = 0;
    for (int y = firstRow; y < lastRow; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint8_t* p = &frame[y * kStride + 3 * x];
            n += p[0] == 200 && p[1] == 200 && p[2] == 200;
        }
    return n;
}

TEST(KaraokeSong, LinesFollowTheSongAndStayAfterItsEnd)
{
    GuiApp();
    CKaraokeEngine engine;
    engine.PlaySong(KORVEL_SOURCE_DIR "/assets/DownLoad/Songs/小星星.wma",
                    KORVEL_SOURCE_DIR "/assets/DownLoad/Lyrics/小星星.rar");
    ASSERT_TRUE(engine.IsActive());
    ASSERT_EQ(engine.Rows().size(), 6u);

    const std::vector<uint8_t> original(230400, 120);
    std::vector<uint8_t> frame;
    auto draw = [&] {
        frame = original;
        engine.DrawInto(frame.data());
        return frame != original;
    };

    // Before the first row (2 s into the song) nothing is drawn.
    EXPECT_TRUE(engine.Position() < 1.5);
    EXPECT_FALSE(draw());

    // The first row sings between 2 s and 6 s: upper line current, the second row below.
    ASSERT_TRUE(WaitFor([&] {
        return engine.UpperText() == QString::fromUtf8("一闪一闪亮晶晶") && draw() && SweptPixels(frame, 20, 40) > 0;
    }));
    EXPECT_EQ(engine.LowerText(), QString::fromUtf8("满天都是小星星"));
    EXPECT_EQ(engine.Selector(), 1);
    EXPECT_EQ(SweptPixels(frame, 0, 20), 0);
    EXPECT_TRUE(std::equal(frame.begin() + 40 * kStride, frame.end(), original.begin() + 40 * kStride));

    // Into the second row: the lower line is current and is swept.
    engine.Seek(7.0 / 28.0);
    ASSERT_TRUE(WaitFor([&] { return engine.Selector() == 2 && draw() && SweptPixels(frame, 0, 20) > 0; }));
    EXPECT_EQ(engine.UpperText(), QString::fromUtf8("挂在天上放光明"));

    // The last row, then the end of the song: the band stays as it was.
    engine.Seek(25.0 / 28.0);
    ASSERT_TRUE(WaitFor([&] { return engine.LowerText() == QString("THE END!") || engine.UpperText() == "THE END!"; }));
    ASSERT_TRUE(WaitFor([&] { return engine.IsEnded() && engine.IsThreadFinished(); }, std::chrono::seconds(30)));
    ASSERT_TRUE(draw());
    const auto last = frame;
    ASSERT_TRUE(draw());
    EXPECT_EQ(frame, last);
    engine.Stop();
    ASSERT_TRUE(draw());
    EXPECT_EQ(frame, last);
}

}  // namespace
