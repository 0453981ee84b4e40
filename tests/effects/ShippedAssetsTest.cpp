// The shipped effect pictures work with the rules they are drawn by, and a saved choice of them comes
// out on the frame as the chain's steps say.
#include "effects/EffectLibrary.h"
#include "effects/FrameBuffer.h"
#include "effects/SavedEffectChoice.h"

#include "FrameFixture.h"
#include "PacingRecorder.h"
#include "support/TempHome.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kAssets = std::string(KORVEL_SOURCE_DIR) + "/assets";

std::string Folder(int32_t category)
{
    return kAssets + "/" + EffectFolder(category);
}

struct Decoded {
    std::vector<CDib> frames;
};

Decoded DecodeAll(const std::string& path)
{
    CGifAnimation animation;
    animation.Load(path);
    EXPECT_TRUE(WaitUntil([&] { return animation.LoaderDone(); }));
    Decoded decoded;
    for (int i = 0; i < animation.FrameCount(); ++i) {
        decoded.frames.push_back(*animation.CurrentImage());
        animation.CurrentImage();  // each frame shows twice
    }
    return decoded;
}

// Share of pixels of a picture for which `test` holds.
double Share(const CDib& dib, const std::function<bool(Bgr)>& test)
{
    size_t hits = 0;
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x) {
            const uint8_t* p = dib.Row(y) + 3 * x;
            hits += test({p[0], p[1], p[2]});
        }
    return double(hits) / (double(dib.Width) * dib.Height);
}

bool White(Bgr p) { return p == Bgr{255, 255, 255}; }
bool Black(Bgr p) { return p == Bgr{0, 0, 0}; }
bool Has255(Bgr p) { return p.b == 255 || p.g == 255 || p.r == 255; }

}  // namespace

TEST(ShippedAssets, LayerPicturesSuitTheirBlendRules)
{
    for (int32_t category : {EFFECT_CARTOON, EFFECT_FRAME, EFFECT_DOSSAL, EFFECT_LIGHT, EFFECT_SPECIAL}) {
        const auto names = ListPictureNames(Folder(category), [](int) {});
        ASSERT_TRUE(names) << category;
        EXPECT_GE(names->size(), category == EFFECT_SPECIAL ? 3u : 4u) << category;
        for (const std::string& name : *names) {
            SCOPED_TRACE(EffectFolder(category) + "/" + name);
            const Decoded decoded = DecodeAll(Folder(category) + "/" + name);
            ASSERT_FALSE(decoded.frames.empty());
            if (category == EFFECT_CARTOON || category == EFFECT_SPECIAL) {
                EXPECT_GE(decoded.frames.size(), 8u) << "animations move";
            }
            for (const CDib& frame : decoded.frames) {
                switch (category) {
                case EFFECT_FRAME:
                    // The middle lets the video through; the outer rows are a solid border.
                    ASSERT_EQ(frame.Width, kFrameWidth);
                    EXPECT_TRUE(White({frame.Row(120)[480], frame.Row(120)[481], frame.Row(120)[482]}));
                    EXPECT_GT(Share(frame, White), 0.5);
                    EXPECT_LT(Share(frame, White), 0.9);
                    break;
                case EFFECT_DOSSAL:
                    EXPECT_GT(Share(frame, White), 0.6);
                    EXPECT_GT(Share(frame, [](Bgr p) { return !White(p) && !Has255(p) && p.b && p.g && p.r; }),
                              0.02);
                    break;
                default:
                    // Added to the video: black adds nothing, and no channel may be 255, which adds nothing.
                    EXPECT_EQ(Share(frame, Has255), 0.0);
                    EXPECT_GT(Share(frame, Black), category == EFFECT_LIGHT ? 0.0 : 0.3);
                    EXPECT_GT(Share(frame, [](Bgr p) { return p.b + p.g + p.r > 150; }), 0.002);
                }
            }
        }
    }
}

TEST(ShippedAssets, MasksIconsWaitPicturesAndIndex)
{
    const auto masks = ListPictureNames(Folder(EFFECT_DOUBLE_IMAGE), [](int) {});
    ASSERT_TRUE(masks);
    EXPECT_EQ(masks->size(), 4u);
    for (const std::string& name : *masks) {
        const QImage mask(QString::fromStdString(Folder(EFFECT_DOUBLE_IMAGE) + "/" + name), "JPEG");
        EXPECT_EQ(mask.size(), QSize(320, 240)) << name;
        EXPECT_GT(mask.pixelColor(160, 120).blue(), 240) << name;
        EXPECT_LT(mask.pixelColor(2, 2).blue(), 12) << name;
    }
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(QImage(QString::fromStdString(kAssets + "/Effect/SetColor/" + std::to_string(n) + ".bmp")).isNull());
    const auto waiting = ListPictures(kAssets + "/Effect/waitvideo", [](int) {});
    ASSERT_TRUE(waiting);
    EXPECT_EQ(waiting->size(), 2u);

    const EffectIndex index = LoadEffectIndex(kAssets + "/Img_Config.xml");
    const struct {
        size_t table;
        int32_t category;
    } listed[] = {{0, EFFECT_CARTOON}, {1, EFFECT_FRAME},   {2, EFFECT_LIGHT},
                  {3, EFFECT_DOSSAL},  {4, EFFECT_SPECIAL}, {5, EFFECT_DOUBLE_IMAGE}};
    for (const auto& l : listed) {
        const auto names = ListPictureNames(Folder(l.category), [](int) {});
        ASSERT_TRUE(names);
        for (const std::string& name : *names)
            EXPECT_EQ(index.Tables[l.table].count(name), 1u) << name;
    }
}

class ShippedChoiceTest : public ::testing::Test {
protected:
    ShippedChoiceTest()
    {
        Settings = SettingsRecord();
        Settings.SubEffImgInfo = {{EFFECT_FRAME, "gold.gif", Folder(EFFECT_FRAME)},
                                  {EFFECT_DOSSAL, "crown.gif", Folder(EFFECT_DOSSAL)},
                                  {EFFECT_LIGHT, "corners.gif", Folder(EFFECT_LIGHT)}};
        Settings.InnerImg.Close = false;
        Settings.InnerImg.FloatType = 0;
        Settings.InnerImg.HOffset = 150;
        Settings.InnerImg.VOffset = 40;
        Settings.InnerImg.ZoomSize = 45;
        Settings.InnerImg.FrontImg = Folder(EFFECT_DOUBLE_IMAGE) + "/heart.jpg";
        Settings.AddFont.Close = false;
        Settings.AddFont.Content = "Korvel";
        Settings.AddFont.FontName = "DejaVu Sans";
        Settings.AddFont.FontSize = 16;
        Settings.AddFont.FontHeight = 200;
        Settings.AddFont.BackGrdCor = 0x40C0F0;
    }
    ~ShippedChoiceTest() override { Settings = SettingsRecord(); }

    // A video frame with something in every channel.
    static TestFrame Video()
    {
        TestFrame frame;
        for (int y = 0; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x)
                frame.Set(x, y, {x * 200 / 320 + 20, y * 200 / 240 + 20, 120});
        return frame;
    }

    TempHome home_;
    PacingRecorder pacing_;
};

TEST_F(ShippedChoiceTest, EachStepLiesOverTheOnesBefore)
{
    CEffectChain chain;
    CSelectedEffects selected(chain);
    ApplySavedEffectChoice(chain, selected);
    ASSERT_EQ(chain.Layers().size(), 3u);
    ASSERT_TRUE(WaitUntil([&] { return chain.LayersLoaded(); }));
    ASSERT_TRUE(chain.Pip().Enabled());
    ASSERT_TRUE(chain.Text().Enabled());

    // The same frame with the text line, and without it and the picture-in-picture.
    TestFrame full = Video();
    chain.RunChain(full.data());
    EXPECT_EQ(PacingRecorder::Pauses(), (std::vector<int>{30, 20}));
    chain.Pip().SetPipClose(true);
    chain.Text().SetTextClose(true);
    TestFrame layersOnly = Video();
    chain.RunChain(layersOnly.data());

    const int band = chain.Text().BandHeight();
    const Bgr back{0x40, 0xC0, 0xF0};
    int differing = 0;
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const Bgr with = full.At(x, y), without = layersOnly.At(x, y);
            const bool inBand = y >= 200 && y < 200 + band;
            const bool inPip = x >= 150 && x < 150 + 144 && y >= 40 && y < 40 + 108;
            if (inBand && x > 200) {
                // No text this far right: the band's colour at half strength over what was there.
                ASSERT_EQ(with, (Bgr{(without.b + back.b) / 2, (without.g + back.g) / 2, (without.r + back.r) / 2}))
                    << x << "," << y;
            } else if (!inBand && !inPip) {
                ASSERT_EQ(with, without) << x << "," << y;
            } else if (inPip) {
                differing += with != without;
            }
        }
    EXPECT_GT(differing, 144 * 108 / 4) << "the heart of the picture-in-picture shows";
    // The border keeps its own colour at the edge, the video shows through its middle.
    const Bgr edge = layersOnly.At(160, 1);
    EXPECT_NE(edge, Video().At(160, 1));
}
