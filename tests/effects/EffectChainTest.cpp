// The layer compositor, the layer list and the logo, through the chain.
#include "effects/EffectChain.h"

#include "FrameFixture.h"
#include "GifFixture.h"
#include "support/Files.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

constexpr int kProbeX = 10, kProbeY = 100;  // a pixel the logo never covers

class EffectChainTest : public ::testing::Test {
protected:
    std::string WriteGif(const std::string& name, const std::vector<GifFrame>& frames)
    {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        WriteFileBytes(path, EncodeGif(frames));
        return path;
    }
    std::string SolidGif(const std::string& name, Bgr colour)
    {
        return WriteGif(name, {SolidFrame(kFrameWidth, kFrameHeight,
                                          {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b)})});
    }
    void AddAndWait(int32_t type, int32_t id, const std::string& path)
    {
        chain_.AddLayer(type, id, path);
        ASSERT_TRUE(WaitUntil([&] { return chain_.LayersLoaded(); }));
    }
    std::vector<int32_t> Types() const
    {
        std::vector<int32_t> types;
        for (const LayerInfo& l : chain_.Layers())
            types.push_back(l.Type);
        return types;
    }

    QTemporaryDir dir_;
    CEffectChain chain_;
};

}  // namespace

TEST_F(EffectChainTest, BlendRulesPerCategoryAndMode)
{
    const struct {
        int32_t type, mode;
        Bgr layer, video, expected;
    } cases[] = {
        // Borders and pendants: a channel that is not 0 (255 counting as 0) replaces the video's.
        {EFFECT_FRAME, 1, {255, 255, 255}, {10, 20, 30}, {10, 20, 30}},
        {EFFECT_FRAME, 0, {255, 255, 255}, {10, 20, 30}, {10, 20, 30}},
        {EFFECT_FRAME, 1, {200, 0, 0}, {10, 20, 30}, {200, 20, 30}},
        {EFFECT_FRAME, 0, {200, 0, 0}, {10, 20, 30}, {140, 20, 30}},
        {EFFECT_DOSSAL, 1, {0, 120, 0}, {10, 20, 30}, {10, 120, 30}},
        {EFFECT_DOSSAL, 0, {90, 170, 180}, {1, 2, 3}, {62, 118, 125}},
        // Animation, mode 0: half of both plus 50, capped; it sees 255 as it is.
        {EFFECT_CARTOON, 0, {200, 200, 255}, {200, 0, 255}, {250, 150, 255}},
        {EFFECT_CARTOON, 0, {0, 0, 0}, {0, 0, 0}, {50, 50, 50}},
        {EFFECT_CARTOON, 0, {255, 1, 0}, {0, 2, 100}, {177, 51, 100}},
        // Animation, mode 1, and every other category: added, capped, 255 adding nothing.
        {EFFECT_CARTOON, 1, {100, 255, 200}, {100, 50, 100}, {200, 50, 255}},
        {EFFECT_LIGHT, 0, {100, 255, 30}, {200, 5, 30}, {255, 5, 60}},
        {EFFECT_LIGHT, 1, {100, 255, 30}, {200, 5, 30}, {255, 5, 60}},
        {EFFECT_SPECIAL, 1, {1, 254, 0}, {1, 1, 1}, {2, 255, 1}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n));
        chain_.ClearLayers();
        ASSERT_TRUE(chain_.SetEffType(c.type, c.mode));
        AddAndWait(c.type, 1, SolidGif("case" + std::to_string(n++) + ".gif", c.layer));
        TestFrame frame(c.video);
        chain_.RunChain(frame.data());
        EXPECT_EQ(frame.At(kProbeX, kProbeY), c.expected);
        EXPECT_EQ(frame.At(319, 239), c.expected);
    }
}

TEST_F(EffectChainTest, SparsePicturesChangeOnlyWhereTheyHoldSomething)
{
    // Scattered marks with 0 and 255 channels on white (a pendant) and on black (a light), some close
    // together and some far apart; each output pixel is checked against its rule.
    const Rgb marks[] = {{0, 120, 0}, {255, 10, 200}, {1, 1, 1}, {254, 0, 255}, {90, 170, 180}};
    const struct {
        int32_t type, mode;
        Rgb background;
    } cases[] = {{EFFECT_DOSSAL, 1, {255, 255, 255}}, {EFFECT_DOSSAL, 0, {255, 255, 255}},
                 {EFFECT_LIGHT, 1, {0, 0, 0}}, {EFFECT_CARTOON, 1, {0, 0, 0}}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n));
        GifFrame picture = SolidFrame(kFrameWidth, kFrameHeight, c.background);
        int k = 0;
        for (int y = 0; y < kFrameHeight; y += 7)
            for (int x = (y * 13) % 97; x < kFrameWidth; x += 29 + (x % 5) * 40)
                picture.At(x, y) = marks[k++ % 5];
        chain_.ClearLayers();
        chain_.SetEffType(c.type, c.mode);
        AddAndWait(c.type, 1, WriteGif("sparse" + std::to_string(n++) + ".gif", {picture}));
        const TestFrame video = [] {
            TestFrame f;
            for (int y = 0; y < kFrameHeight; ++y)
                for (int x = 0; x < kFrameWidth; ++x)
                    f.Set(x, y, {(x + y) % 256, (3 * x) % 256, (5 * y) % 256});
            return f;
        }();
        TestFrame frame = video;
        chain_.RunChain(frame.data());
        for (int y = 28; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x) {
                const Rgb s = picture.At(x, kFrameHeight - 1 - y);
                const int v[3] = {s.b == 255 ? 0 : s.b, s.g == 255 ? 0 : s.g, s.r == 255 ? 0 : s.r};
                const Bgr d = video.At(x, y);
                const int in[3] = {d.b, d.g, d.r};
                int want[3];
                for (int ch = 0; ch < 3; ++ch) {
                    if (c.type == EFFECT_DOSSAL)
                        want[ch] = v[ch] == 0 ? in[ch] : c.mode == 1 ? v[ch] : int(v[ch] * 0.7);
                    else
                        want[ch] = std::min(255, in[ch] + v[ch]);
                }
                ASSERT_EQ(frame.At(x, y), (Bgr{want[0], want[1], want[2]})) << x << "," << y;
            }
    }
}

TEST_F(EffectChainTest, ModeIsOneAtFirstAndOnlyZeroOrOneAreTaken)
{
    EXPECT_EQ(chain_.DisplayMode(), 1);
    EXPECT_FALSE(chain_.SetEffType(EFFECT_FRAME, 2));
    EXPECT_FALSE(chain_.SetEffType(EFFECT_FRAME, -1));
    EXPECT_EQ(chain_.DisplayMode(), 1);
    EXPECT_TRUE(chain_.SetEffType(EFFECT_LIGHT, 0));  // any category: one mode for all layers
    EXPECT_EQ(chain_.DisplayMode(), 0);
}

TEST_F(EffectChainTest, TheHalfLiftRuleSeesWhiteThatAnotherRuleHasAlreadyCleared)
{
    AddAndWait(EFFECT_CARTOON, 1, SolidGif("white.gif", {255, 255, 255}));
    const struct {
        int32_t mode;
        Bgr expected;
    } passes[] = {
        {0, {177, 177, 177}},  // (255 + 0) / 2 + 50
        {1, {0, 0, 0}},        // the additive rule counts 255 as 0 and stores the 0
        {0, {50, 50, 50}},     // from now on the picture holds 0
    };
    for (const auto& pass : passes) {
        chain_.SetEffType(EFFECT_CARTOON, pass.mode);
        TestFrame frame;
        chain_.RunChain(frame.data());
        EXPECT_EQ(frame.At(kProbeX, kProbeY), pass.expected) << "mode " << pass.mode;
    }
}

TEST_F(EffectChainTest, PicturesOfOtherSizesAreStretchedByNearestPixel)
{
    // Every source pixel's colour names its column and bottom-up row modulo 16.
    auto colourOf = [](int column, int row) { return Bgr{7, 16 * (row % 16) + 1, 16 * (column % 16) + 1}; };
    const struct {
        int width, height;
    } sizes[] = {{160, 120}, {480, 360}, {100, 75}, {320, 120}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        GifFrame picture = SolidFrame(size.width, size.height, {});
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const Bgr c = colourOf(x, size.height - 1 - y);
                picture.At(x, y) = {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)};
            }
        chain_.ClearLayers();
        AddAndWait(EFFECT_FRAME, 1, WriteGif(std::to_string(size.width) + ".gif", {picture}));
        TestFrame frame;
        chain_.RunChain(frame.data());
        int wrong = 0;
        for (int y = 28; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x) {
                const int sx = int(x * (size.width / 320.0)), sy = int(y * (size.height / 240.0));
                if (frame.At(x, y) != colourOf(sx, sy) && wrong++ < 3)
                    ADD_FAILURE() << "at " << x << "," << y << ": " << frame.At(x, y);
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(EffectChainTest, OneLayerPerCategoryReplacedByTypeKeptBySameId)
{
    const std::string a = SolidGif("a.gif", {1, 1, 1}), b = SolidGif("b.gif", {2, 2, 2}),
                      c = SolidGif("c.gif", {3, 3, 3});
    chain_.AddLayer(EFFECT_FRAME, 10, a);
    chain_.AddLayer(EFFECT_CARTOON, 20, b);
    chain_.AddLayer(EFFECT_LIGHT, 30, c);
    EXPECT_EQ(Types(), (std::vector<int32_t>{EFFECT_FRAME, EFFECT_CARTOON, EFFECT_LIGHT}));

    // Another border: the old one goes, the new one is drawn last.
    chain_.AddLayer(EFFECT_FRAME, 11, c);
    EXPECT_EQ(Types(), (std::vector<int32_t>{EFFECT_CARTOON, EFFECT_LIGHT, EFFECT_FRAME}));
    EXPECT_EQ(chain_.Layers().back().Id, 11);

    // The same type and id again: nothing changes, not even the path.
    chain_.AddLayer(EFFECT_FRAME, 11, a);
    ASSERT_EQ(chain_.Layers().size(), 3u);
    EXPECT_EQ(chain_.Layers().back().Path, c);

    chain_.RemoveLayer(EFFECT_FRAME, 99);
    chain_.RemoveLayer(EFFECT_DOSSAL, 11);
    EXPECT_EQ(chain_.Layers().size(), 3u);
    chain_.RemoveLayer(EFFECT_CARTOON, 20);
    EXPECT_EQ(Types(), (std::vector<int32_t>{EFFECT_LIGHT, EFFECT_FRAME}));
    chain_.ClearLayers();
    EXPECT_TRUE(chain_.Layers().empty());
}

TEST_F(EffectChainTest, LayersAreDrawnInListOrder)
{
    chain_.SetEffType(0, 1);
    AddAndWait(EFFECT_DOSSAL, 1, SolidGif("pendant.gif", {100, 100, 100}));
    AddAndWait(EFFECT_LIGHT, 2, SolidGif("light.gif", {10, 0, 255}));
    TestFrame frame({5, 5, 5});
    chain_.RunChain(frame.data());
    EXPECT_EQ(frame.At(kProbeX, kProbeY), (Bgr{110, 100, 100}));
    // A new pendant goes last, over the light.
    AddAndWait(EFFECT_DOSSAL, 3, SolidGif("pendant2.gif", {0, 50, 0}));
    TestFrame again({5, 5, 5});
    chain_.RunChain(again.data());
    EXPECT_EQ(again.At(kProbeX, kProbeY), (Bgr{15, 50, 5}));
}

TEST_F(EffectChainTest, AnEmptyListLeavesAllButTheLogoAlone)
{
    TestFrame frame({100, 110, 120});
    chain_.RunChain(frame.data());
    int stamped = 0, through = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const bool inLogo = y < 28 && x >= 170 && x < 318;
            if (frame.At(x, y) != Bgr{100, 110, 120}) {
                ASSERT_TRUE(inLogo) << x << "," << y;
                ++stamped;
            } else if (inLogo) {
                ++through;
            }
        }
    EXPECT_GT(stamped, 300) << "the program's logo is drawn";
    EXPECT_GT(through, 300) << "its black background lets the video through";
}

TEST(LogoStamp, BlackIsTransparentAndTheCornerIsFixed)
{
    QImage picture(CLogoStamp::kWidth, CLogoStamp::kHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setPixel(0, 27, qRgb(1, 2, 3));     // bottom-left: frame column 170, row 0
    picture.setPixel(147, 0, qRgb(30, 20, 10)); // top-right: frame column 317, row 27
    picture.setPixel(5, 10, qRgb(0, 0, 1));     // only blue set: still opaque
    const CLogoStamp logo(picture);
    TestFrame frame({9, 9, 9});
    logo.Stamp(frame.data());
    EXPECT_EQ(frame.At(170, 0), (Bgr{3, 2, 1}));
    EXPECT_EQ(frame.At(317, 27), (Bgr{10, 20, 30}));
    EXPECT_EQ(frame.At(175, 17), (Bgr{1, 0, 0}));
    int changed = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x)
            changed += frame.At(x, y) != Bgr{9, 9, 9};
    EXPECT_EQ(changed, 3);

    const CLogoStamp wrongSize(QImage(10, 10, QImage::Format_RGB32));
    TestFrame untouched({9, 9, 9});
    wrongSize.Stamp(untouched.data());
    EXPECT_EQ(untouched.bytes, TestFrame({9, 9, 9}).bytes);
}

TEST_F(EffectChainTest, BadLayerFilesAreSkipped)
{
    const std::string empty = dir_.filePath("empty.gif").toStdString();
    WriteFileBytes(empty, "");
    AddAndWait(EFFECT_FRAME, 1, empty);
    AddAndWait(EFFECT_LIGHT, 2, dir_.filePath("missing.gif").toStdString());
    TestFrame frame({1, 2, 3});
    chain_.RunChain(frame.data());
    EXPECT_EQ(frame.At(kProbeX, kProbeY), (Bgr{1, 2, 3}));
}

TEST_F(EffectChainTest, ReplacingLayersQuicklyWhileFramesAreComposed)
{
    std::vector<GifFrame> frames;
    for (int i = 0; i < 60; ++i)
        frames.push_back(SolidFrame(160, 120, {uint8_t(i), 9, 200}));
    const std::string animation = WriteGif("anim.gif", frames);
    const std::string border = SolidGif("border.gif", {1, 2, 3});
    std::atomic<bool> stop{false};
    std::atomic<int> composed{0};
    std::thread frameThread([&] {
        TestFrame frame;
        while (!stop) {
            chain_.RunChain(frame.data());
            ++composed;
        }
    });
    for (int i = 0; i < 40; ++i) {
        chain_.AddLayer(i % 3 ? EFFECT_CARTOON : EFFECT_FRAME, i, i % 3 ? animation : border);
        if (i % 7 == 0)
            chain_.RemoveLayer(EFFECT_CARTOON, i - 1);
        if (i % 13 == 0)
            chain_.ClearLayers();
        chain_.SetEffType(0, i % 2);
    }
    ASSERT_TRUE(WaitUntil([&] { return composed > 10; }));
    stop = true;
    frameThread.join();
    EXPECT_LE(chain_.Layers().size(), 2u);
}
