// The effects tab: its category tree and pages, and the effects in use with the rules of the
// applied-picture table, the mode buttons and the choice saved across runs.
#include "PanelFixture.h"

#include "effects/panels/EffectCategories.h"
#include "effects/panels/WndAddFont.h"
#include "effects/panels/WndColorAdjust.h"
#include "effects/panels/WndInnerImg.h"
#include "effects/panels/WndSelectedEffect.h"
#include "effects/panels/WndSubVideoSpeEffect.h"
#include "ui/ModalDriver.h"
#include "ui/SkinTree.h"

#include <filesystem>

namespace {

enum { IDC_TREE = 4101, IDC_PICTURES = 4102, IDC_SELECTED = 4104, IDC_REMOVE = 1032, IDC_CLEAR = 1033 };

class SpeEffectTest : public EffectPanelTest {
protected:
    CSkinThumbs* Thumbs(int32_t category) { return tab_->PicturePanel(category)->Control<CSkinThumbs>(IDC_PICTURES); }
    QListWidget* Selected() { return tab_->SelectedEffects()->Control<QListWidget>(IDC_SELECTED); }
    void Pick(int32_t category, const char* name)
    {
        tab_->Control<CSkinTree>(IDC_TREE)->SelectByData(category);
        QCoreApplication::processEvents();
        const int index = ItemNamed(Thumbs(category), QString::fromUtf8(name));
        ASSERT_GE(index, 0) << name;
        DoubleClickItem(Thumbs(category), index);
    }
    std::string Full(int32_t category, const char* name) const { return Folder(category) + "/" + name; }

    // Which of the pages is showing: the four picture panels, the effects in use, colour, PIP, text.
    std::vector<bool> Pages() const
    {
        std::vector<bool> shown;
        for (int32_t category : {EFFECT_CARTOON, EFFECT_FRAME, EFFECT_DOSSAL, EFFECT_LIGHT})
            shown.push_back(tab_->PicturePanel(category)->isVisible());
        shown.push_back(tab_->SelectedEffects()->isVisible());
        shown.push_back(tab_->ColorPanel()->isVisible());
        shown.push_back(tab_->PipPanel()->isVisible());
        shown.push_back(tab_->TextPanel()->isVisible());
        return shown;
    }
};

}  // namespace

TEST_F(SpeEffectTest, TreeItemsShowOnePageAtATime)
{
    BuildTab();
    auto* tree = tab_->Control<CSkinTree>(IDC_TREE);
    std::vector<std::pair<std::string, int>> items;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        items.emplace_back((*it)->text(0).toStdString(), CSkinTree::ItemData(*it));
    const std::vector<std::pair<std::string, int>> expected = {
        {"视频特效", 1}, {"动画效果", 2}, {"边框效果", 4}, {"挂件效果", 8},
        {"灯光效果", 16}, {"色彩调节", 64}, {"画中画", 128}, {"添加文字", 1024}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_EQ(tree->ItemHeight(), 24);

    // Built on the animations.
    EXPECT_EQ(tree->SelectedData(), EFFECT_CARTOON);
    EXPECT_EQ(Pages(), (std::vector<bool>{true, false, false, false, true, false, false, false}));

    const struct {
        int code;
        std::vector<bool> pages;
    } cases[] = {
        {4, {false, true, false, false, true, false, false, false}},
        {1, {false, true, false, false, true, false, false, false}},  // the root changes nothing
        {16, {false, false, false, true, true, false, false, false}},
        {64, {false, false, false, false, false, true, false, false}},
        {128, {false, false, false, false, false, false, true, false}},
        {1024, {false, false, false, false, false, false, false, true}},
        {8, {false, false, true, false, true, false, false, false}},
    };
    for (const auto& c : cases) {
        // As the user does: a click on the item.
        QTreeWidgetItem* item = tree->FindItem(c.code);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        EXPECT_EQ(Pages(), c.pages) << c.code;
    }

    // Another panel asks for the colour adjustment through the main window.
    EXPECT_TRUE(SendWindowMessage(tab_.get(), WM_SHOW_EFFECTS));
    EXPECT_EQ(tree->SelectedData(), PAGE_COLOR_ADJUST);
    EXPECT_EQ(Pages(), (std::vector<bool>{false, false, false, false, false, true, false, false}));

    // Each picture panel lists its own folder under its own title.
    for (int32_t category : {EFFECT_CARTOON, EFFECT_FRAME, EFFECT_DOSSAL, EFFECT_LIGHT}) {
        CWndSubVideoSpeEffect* panel = tab_->PicturePanel(category);
        EXPECT_EQ(panel->Pictures().Folder(), Folder(category));
        EXPECT_EQ(panel->Control<QLabel>(1034)->text().toStdString(), EffectCategoryLabel(category));
        EXPECT_EQ(Thumbs(category)->PictureCount(), 4) << category;
        EXPECT_EQ(Thumbs(category)->count(), 7) << "three empty items follow the pictures";
    }
}

TEST_F(SpeEffectTest, AppliedPicturesAreHandedToTheChainOnce)
{
    BuildTab();
    // Border A, then border B: only B is listed and shown.
    Pick(EFFECT_FRAME, "gold.gif");
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"gold.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{Full(EFFECT_FRAME, "gold.gif")}));
    Pick(EFFECT_FRAME, "film.gif");
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"film.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{Full(EFFECT_FRAME, "film.gif")}));
    // A again: listed, but it was handed over before, so the chain keeps showing B.
    Pick(EFFECT_FRAME, "gold.gif");
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"gold.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{Full(EFFECT_FRAME, "film.gif")}));

    // An animation too: both listed, newest first, both drawn.
    Pick(EFFECT_CARTOON, "snow.gif");
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"snow.gif", "gold.gif"}));
    EXPECT_EQ(LayerPaths().size(), 2u);

    // Removing the selected entry: the border goes from the list and its layer from the chain.
    Selected()->setCurrentRow(1);
    tab_->SelectedEffects()->SendCommand(IDC_REMOVE);
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"snow.gif"}));
    // The border layer on show was film.gif, handed over under its own id; gold.gif's id removes nothing.
    EXPECT_EQ(LayerPaths(),
              (std::vector<std::string>{Full(EFFECT_FRAME, "film.gif"), Full(EFFECT_CARTOON, "snow.gif")}));
    // Without a selected entry the button does nothing.
    Selected()->clearSelection();
    tab_->SelectedEffects()->SendCommand(IDC_REMOVE);
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"snow.gif"}));

    // Cleared: nothing listed or drawn; a picture applied before comes back listed but not drawn, one
    // never applied is drawn.
    tab_->SelectedEffects()->SendCommand(IDC_CLEAR);
    EXPECT_TRUE(ListTexts(Selected()).empty());
    EXPECT_TRUE(LayerPaths().empty());
    Pick(EFFECT_CARTOON, "snow.gif");
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"snow.gif"}));
    EXPECT_TRUE(LayerPaths().empty());
    Pick(EFFECT_LIGHT, "bokeh.gif");
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"bokeh.gif", "snow.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{Full(EFFECT_LIGHT, "bokeh.gif")}));

    // A double click on an empty item chooses nothing.
    DoubleClickItem(Thumbs(EFFECT_LIGHT), Thumbs(EFFECT_LIGHT)->count() - 1);
    EXPECT_EQ(ListTexts(Selected()).size(), 2u);
    EXPECT_EQ(Thumbs(EFFECT_LIGHT)->SelectedPicture(), -1);
}

TEST_F(SpeEffectTest, DeletingThePictureInUseRemovesItsEntryAndLayer)
{
    BuildTab();
    Pick(EFFECT_DOSSAL, "crown.gif");
    Pick(EFFECT_FRAME, "gold.gif");
    ASSERT_EQ(LayerPaths().size(), 2u);
    CSkinThumbs* thumbs = Thumbs(EFFECT_DOSSAL);
    thumbs->SelectPicture(ItemNamed(thumbs, "crown.gif"));

    // Refused first: nothing changes.
    {
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, [](CUIWnd* box) {
            EXPECT_EQ(box->Control<QLabel>(1144)->text(), QString::fromUtf8("确定删除特效图片crown.gif?"));
            box->Control<QAbstractButton>(1142)->click();
        });
        tab_->PicturePanel(EFFECT_DOSSAL)->SendCommand(1027);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_TRUE(std::filesystem::exists(Full(EFFECT_DOSSAL, "crown.gif")));
    EXPECT_EQ(LayerPaths().size(), 2u);

    ModalDriver driver;
    driver.Click(IDR_USER_OPT_HITE, 1141);
    tab_->PicturePanel(EFFECT_DOSSAL)->SendCommand(1027);
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(std::filesystem::exists(Full(EFFECT_DOSSAL, "crown.gif")));
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"gold.gif"}));
    EXPECT_EQ(LayerPaths(), (std::vector<std::string>{Full(EFFECT_FRAME, "gold.gif")}));
    ASSERT_TRUE(WaitListed(tab_->PicturePanel(EFFECT_DOSSAL)->Pictures()));
    EXPECT_EQ(thumbs->PictureCount(), 3);
    EXPECT_EQ(ItemNamed(thumbs, "crown.gif"), -1);
}

TEST_F(SpeEffectTest, TheSavedChoiceComesBackAtStartAndIsHandedBackAtTheEnd)
{
    Settings.SubEffImgInfo = {{EFFECT_FRAME, "gold.gif", Folder(EFFECT_FRAME)},
                              {EFFECT_DOUBLE_IMAGE, "heart.jpg", Folder(EFFECT_DOUBLE_IMAGE)},
                              {EFFECT_CARTOON, "stars.gif", Folder(EFFECT_CARTOON)}};
    sink_.ApplySavedEffectChoice();
    BuildTab();
    EXPECT_EQ(ListTexts(Selected()), (std::vector<std::string>{"stars.gif", "gold.gif"}));
    EXPECT_EQ(LayerPaths(),
              (std::vector<std::string>{Full(EFFECT_FRAME, "gold.gif"), Full(EFFECT_CARTOON, "stars.gif")}));
    EXPECT_TRUE(Settings.SubEffImgInfo.empty()) << "taken out until the choice is handed back";

    // The user clears the animation; what is left goes back for saving.
    Selected()->setCurrentRow(0);
    tab_->SelectedEffects()->SendCommand(IDC_REMOVE);
    sink_.StoreEffectChoice();
    ASSERT_EQ(Settings.SubEffImgInfo.size(), 1u);
    EXPECT_EQ(Settings.SubEffImgInfo[0].SubEffType, EFFECT_FRAME);
    EXPECT_EQ(Settings.SubEffImgInfo[0].ImgName, "gold.gif");
    EXPECT_EQ(Settings.SubEffImgInfo[0].ImgPath, Folder(EFFECT_FRAME));
}

TEST_F(SpeEffectTest, ModeButtonsStoreTheirCategorysModeAndBlendEveryLayer)
{
    Settings.Frame.EffType = 0;
    BuildTab();
    EXPECT_TRUE(tab_->PicturePanel(EFFECT_FRAME)->IsControlChecked(1024));
    EXPECT_TRUE(tab_->PicturePanel(EFFECT_CARTOON)->IsControlChecked(1025));
    EXPECT_EQ(sink_.DisplayMode(), 1) << "nothing applies the stored modes at start";

    auto click = [](CUIWnd* panel, int id) {
        auto* button = panel->Control<QAbstractButton>(id);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    };
    click(tab_->PicturePanel(EFFECT_CARTOON), 1024);
    EXPECT_EQ(Settings.Cartoon.EffType, 0);
    EXPECT_EQ(sink_.DisplayMode(), 0);
    click(tab_->PicturePanel(EFFECT_FRAME), 1025);
    EXPECT_EQ(Settings.Frame.EffType, 1);
    EXPECT_EQ(Settings.Cartoon.EffType, 0);
    EXPECT_EQ(sink_.DisplayMode(), 1);
}
