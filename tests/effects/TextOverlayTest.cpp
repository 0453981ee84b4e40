// The text line: font mapping, band blend, scrolling and position rules.
#include "effects/TextOverlay.h"

#include "FrameFixture.h"
#include "PacingRecorder.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <limits>

namespace {

class TextOverlayTest : public ::testing::Test {
protected:

    TextOverlayTest()
    {
        settings_.Content = "Korvel 你好";
        settings_.FontName = "DejaVu Sans";
        settings_.FontSize = 18;
        settings_.FontCor = 0x0000FF;     // red
        settings_.BackGrdCor = 0xFFFFFF;  // white
        settings_.FontHeight = 40;
        settings_.ChangeType = 0;
        settings_.ChangSpeed = 0;
        settings_.Close = false;
    }

    std::vector<int32_t> Positions(int frames)
    {
        std::vector<int32_t> xs;
        for (int i = 0; i < frames; ++i) {
            TestFrame frame;
            text_.DrawTextLine(frame.data());
            xs.push_back(text_.TextX());
        }
        return xs;
    }

    PacingRecorder pacing_;
    SettingsRecord::AddFontGroup settings_;
    CTextOverlay text_;
};

}  // namespace

TEST_F(TextOverlayTest, BandIsHalfStrengthAndTextIsOpaque)
{
    settings_.Content = "Korvel \u2588\u2588\u2588\u2588\u2588\u2588 你好";
    text_.SetTextLine(settings_);
    ASSERT_TRUE(text_.Enabled());
    const int h = text_.BandHeight();
    ASSERT_EQ(h, 18) << "the band is as high as the font's cell";
    TestFrame frame({10, 20, 30});
    text_.DrawTextLine(frame.data());
    int band = 0, text = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const Bgr p = frame.At(x, y);
            if (y < 40 || y >= 40 + h) {
                ASSERT_EQ(p, (Bgr{10, 20, 30})) << "outside the band at " << x << "," << y;
                continue;
            }
            // White left as it is: half of each; a fully covered red pixel: blue and green are the text's
            // 0, red equals the band's 255 and is averaged.
            band += p == Bgr{132, 137, 142};
            text += p == Bgr{0, 0, 142};
            ASSERT_EQ(p.r, 142) << "red is 255 in band and text alike";
        }
    EXPECT_GT(band, 320 * h / 3);
    EXPECT_GT(text, 100);
    EXPECT_EQ(PacingRecorder::Pauses(), (std::vector<int>{20}));
}

TEST_F(TextOverlayTest, ScrollSequences)
{
    // To the right at 30 from 300: past 320 it starts again at -320.
    settings_.ChangeType = 2;
    settings_.ChangSpeed = 300;
    text_.SetTextLine(settings_);
    EXPECT_EQ(Positions(1), (std::vector<int32_t>{300}));
    settings_.ChangSpeed = 30;
    text_.SetTextLine(settings_);
    EXPECT_EQ(Positions(3), (std::vector<int32_t>{-320, -290, -260}));

    // To the left: a stored speed of 30 becomes -30; below -320 it starts again at 320.
    settings_.ChangeType = 1;
    text_.SetTextLine(settings_);
    const std::vector<int32_t> left = Positions(3);
    EXPECT_EQ(left, (std::vector<int32_t>{-290, -320, 320}));
    EXPECT_EQ(text_.ChangSpeed(), -30);
    EXPECT_EQ(Positions(1), (std::vector<int32_t>{290}));

    // Still: the speed becomes 0 and the text stays where it is; new settings do not move it back.
    settings_.ChangeType = 0;
    text_.SetTextLine(settings_);
    EXPECT_EQ(Positions(2), (std::vector<int32_t>{290, 290}));
    EXPECT_EQ(text_.ChangSpeed(), 0);
}

TEST_F(TextOverlayTest, BandStaysInsideThePicture)
{
    // An 18-pixel font makes an 18-pixel band.
    const struct {
        int32_t requested, stored;
    } cases[] = {{230, 222}, {-5, 0}, {std::numeric_limits<int32_t>::max(), 222},
                 {std::numeric_limits<int32_t>::min(), 0}, {100, 100}};
    for (const auto& c : cases) {
        settings_.FontHeight = c.requested;
        text_.SetTextLine(settings_);
        TestFrame frame({1, 1, 1});
        text_.DrawTextLine(frame.data());
        EXPECT_EQ(text_.FontHeight(), c.stored) << c.requested;
        EXPECT_NE(frame.At(0, c.stored), (Bgr{1, 1, 1})) << c.requested;
    }
}

TEST_F(TextOverlayTest, ABandHigherThanThePictureIsClipped)
{
    settings_.FontSize = 400;
    settings_.FontHeight = 50;
    text_.SetTextLine(settings_);
    ASSERT_GT(text_.BandHeight(), 240);
    TestFrame frame({10, 20, 30});
    text_.DrawTextLine(frame.data());
    EXPECT_EQ(text_.FontHeight(), 0);
    EXPECT_NE(frame.At(0, 0), (Bgr{10, 20, 30}));
    EXPECT_NE(frame.At(319, 239), (Bgr{10, 20, 30}));
}

TEST_F(TextOverlayTest, FontFromTheLogicalFields)
{
    EXPECT_TRUE(text_.SetFont("NoSuchFace Anywhere", 30, true, true, false));
    const std::optional<QFont> font = text_.DrawingFont();
    ASSERT_TRUE(font);
    const QString family = QFontInfo(*font).family();
    EXPECT_TRUE(CTextOverlay::kFallbackFaces.contains(family)) << family.toStdString();
    EXPECT_TRUE(font->italic());
    EXPECT_TRUE(font->underline());
    EXPECT_FALSE(font->strikeOut());
    EXPECT_EQ(font->weight(), QFont::Weight(30));
    EXPECT_EQ(text_.BandHeight(), 30) << "a positive height is the whole cell";
    EXPECT_LE(QFontMetrics(*font).height(), 30);

    // Face names keep at most 31 characters.
    text_.SetFont(std::string(40, 'x'), 12, false, false, false);
    EXPECT_EQ(text_.DrawingFont()->families().front(), QString(31, 'x'));

    EXPECT_FALSE(text_.SetFont("DejaVu Sans", 100000, false, false, false));
    EXPECT_EQ(text_.DrawingFont()->pixelSize() > 0, true);
}

TEST_F(TextOverlayTest, EnablingFollowsTheTextAndTheCloseFlag)
{
    EXPECT_FALSE(text_.Enabled());
    text_.SetTextLine(settings_);
    EXPECT_TRUE(text_.Enabled());
    settings_.Content.clear();
    text_.SetTextLine(settings_);
    EXPECT_TRUE(text_.Enabled()) << "empty text applied leaves the line on";
    text_.SetTextClose(false);
    EXPECT_FALSE(text_.Enabled()) << "switching on without text leaves it off";
    settings_.Content = "x";
    text_.SetTextLine(settings_);
    text_.SetTextClose(true);
    EXPECT_FALSE(text_.Enabled());
    text_.SetTextClose(false);
    EXPECT_TRUE(text_.Enabled());
}

TEST_F(TextOverlayTest, HostileValuesDrawWithinTheFrame)
{
    settings_.Content = std::string(10000, 'M');
    settings_.ChangeType = 1;
    settings_.ChangSpeed = std::numeric_limits<int32_t>::min();
    text_.SetTextLine(settings_);
    Positions(3);
    settings_.ChangeType = 7;
    settings_.ChangSpeed = std::numeric_limits<int32_t>::max();
    text_.SetTextLine(settings_);
    Positions(3);
    EXPECT_EQ(text_.TextX(), std::numeric_limits<int32_t>::max());
}
