// The choice of effect pictures, its layers, and the saved choice applied at start.
#include "effects/SavedEffectChoice.h"
#include "effects/SelectedEffects.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

class SelectedEffectsTest : public ::testing::Test {
protected:
    SelectedEffectsTest() { Settings = SettingsRecord(); }
    ~SelectedEffectsTest() override { Settings = SettingsRecord(); }

    std::vector<std::string> LayerPaths() const
    {
        std::vector<std::string> paths;
        for (const LayerInfo& l : chain_.Layers())
            paths.push_back(l.Path);
        return paths;
    }
    std::vector<std::string> Selected(const CSelectedEffects& selected) const
    {
        std::vector<std::string> names;
        for (const SubEffImg& s : selected.Selection())
            names.push_back(s.ImgName);
        return names;
    }

    TempHome home_;
    CEffectChain chain_;
};

}  // namespace

TEST_F(SelectedEffectsTest, ReplacingReusingClearingAndRemoving)
{
    CSelectedEffects selected(chain_, 1);
    // The C runtime's sequence for seed 1 gives the ids.
    selected.AddSelectedEffect(4, "A.gif", "/fx/frame");
    ASSERT_EQ(chain_.Layers().size(), 1u);
    EXPECT_EQ(chain_.Layers()[0].Id, 41);
    selected.AddSelectedEffect(4, "B.gif", "/fx/frame");
    EXPECT_EQ(Selected(selected), (std::vector<std::string>{"B.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{"/fx/frame/B.gif"}));
    EXPECT_EQ(chain_.Layers()[0].Id, 18467);

    // A was handed over before: listed again, but the chain keeps showing B.
    selected.AddSelectedEffect(4, "A.gif", "/fx/frame");
    EXPECT_EQ(Selected(selected), (std::vector<std::string>{"A.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{"/fx/frame/B.gif"}));

    // After clearing, a picture shown before is listed but not shown; a new one is shown.
    selected.AddSelectedEffect(2, "snow.gif", "/fx/cartoon");
    selected.ClearSelected();
    EXPECT_TRUE(selected.Selection().empty());
    EXPECT_TRUE(chain_.Layers().empty());
    selected.AddSelectedEffect(4, "B.gif", "/fx/frame");
    EXPECT_TRUE(chain_.Layers().empty());
    selected.AddSelectedEffect(16, "glow.gif", "/fx/light");
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{"/fx/light/glow.gif"}));
    EXPECT_EQ(Selected(selected), (std::vector<std::string>{"B.gif", "glow.gif"}));

    // Removing a picture in use drops its entry and its layer; an unknown path does nothing.
    selected.RemoveSelectedEffect("/fx/light/none.gif");
    EXPECT_EQ(selected.Selection().size(), 2u);
    selected.RemoveSelectedEffect("/fx/light/glow.gif");
    EXPECT_EQ(Selected(selected), (std::vector<std::string>{"B.gif"}));
    EXPECT_TRUE(chain_.Layers().empty());
    // Its table entry is gone too: choosing it again shows it.
    selected.AddSelectedEffect(16, "glow.gif", "/fx/light");
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{"/fx/light/glow.gif"}));
}

TEST_F(SelectedEffectsTest, SavedChoiceIsAppliedAtStartAndHandedBackForSaving)
{
    Settings.SubEffImgInfo = {
        {4, "border.gif", "/fx/frame"}, {64, "odd.gif", "/fx/odd"},     {2, "snow.gif", "/fx/cartoon"},
        {128, "heart.jpg", "/fx/pip"},  {16, "glow.gif", "/fx/light"},  {128, "star.jpg", "/fx/pip"},
        {32, "special.gif", "/fx/sp"},
    };
    Settings.InnerImg.Close = false;
    Settings.InnerImg.FloatType = 3;
    Settings.InnerImg.ZoomSize = 40;
    Settings.InnerImg.FrontImg = "/fx/pip/heart.jpg";
    Settings.AddFont.Close = false;
    Settings.AddFont.Content = "Hello";
    Settings.AddFont.ChangeType = 2;

    CSelectedEffects selected(chain_, 7);
    ApplySavedEffectChoice(chain_, selected);

    std::vector<int32_t> types;
    for (const LayerInfo& l : chain_.Layers())
        types.push_back(l.Type);
    EXPECT_EQ(types, (std::vector<int32_t>{4, 2, 16, 32}));
    EXPECT_EQ(chain_.DisplayMode(), 1) << "the saved blend modes are not applied";
    // Left in the list: what no panel takes, and the second picture-in-picture entry.
    ASSERT_EQ(Settings.SubEffImgInfo.size(), 2u);
    EXPECT_EQ(Settings.SubEffImgInfo[0].SubEffType, 64);
    EXPECT_EQ(Settings.SubEffImgInfo[1].ImgName, "star.jpg");

    EXPECT_TRUE(chain_.Pip().Enabled());
    EXPECT_EQ(chain_.Pip().CurrentState().FloatType, 3);
    EXPECT_DOUBLE_EQ(chain_.Pip().CurrentState().Zoom, 0.4);
    EXPECT_TRUE(chain_.Text().Enabled());

    StoreEffectChoice(selected);
    ASSERT_EQ(Settings.SubEffImgInfo.size(), 6u);
    EXPECT_EQ(Settings.SubEffImgInfo[2].ImgName, "border.gif");
    EXPECT_EQ(Settings.SubEffImgInfo[5].ImgName, "special.gif");
}

TEST_F(SelectedEffectsTest, ClosedOverlaysStayOff)
{
    Settings.AddFont.Content = "Hello";
    Settings.InnerImg.FrontImg = "/fx/pip/heart.jpg";
    CSelectedEffects selected(chain_);
    ApplySavedEffectChoice(chain_, selected);
    EXPECT_FALSE(chain_.Text().Enabled());
    EXPECT_FALSE(chain_.Pip().Enabled());
    EXPECT_TRUE(chain_.Layers().empty());
}
