// The source tree: the four sources, the switch on every choice, the sub-panel shown, and the messages
// the tab takes.
#include "SourceTabFixture.h"

#include "ui/ModalDriver.h"
#include "ui/SkinResources.h"
#include "ui/SkinTree.h"

namespace {

struct Source {
    const char* label;
    int32_t code;
    std::vector<int> shown;  // the sub-panels' skin resources
};
const Source kSources[] = {
    {"摄像头", SOURCE_CAMERA, {IDR_SUB_VIDEO_SETTING}},
    {"媒体文件", SOURCE_MEDIA, {IDR_MED_LIST, IDR_MED_VIEW}},
    {"图片", SOURCE_PICTURE, {IDR_SUB_IMG_VIEW}},
    {"屏幕捕捉", SOURCE_SCREEN, {IDR_SUB_CAPTURE}},
};
const int kSubPanels[] = {IDR_SUB_VIDEO_SETTING, IDR_MED_LIST, IDR_MED_VIEW, IDR_SUB_IMG_VIEW, IDR_SUB_CAPTURE};

}  // namespace

TEST_F(SourceTab, TheFourSourcesSwitchTheSinkAndShowTheirPanels)
{
    CWndVideoScr& tab = Build();
    auto* tree = tab.Control<CSkinTree>(4201);
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tree->topLevelItem(i)->text(0), QString::fromUtf8(kSources[i].label));
        EXPECT_EQ(CSkinTree::ItemData(tree->topLevelItem(i)), kSources[i].code);
    }
    EXPECT_EQ(tab.ChosenSource(), SOURCE_CAMERA);
    EXPECT_EQ(sink->SourceKind(), SOURCE_CAMERA);
    EXPECT_TRUE(devices.Streaming(0));

    // Chosen as the user does, by a click on the item; back to the camera at the end.
    const int order[] = {1, 2, 3, 0, 3, 1, 0};
    for (const int i : order) {
        const Source& source = kSources[i];
        const QRect item = tree->visualItemRect(tree->topLevelItem(i));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, item.center());
        SCOPED_TRACE(source.label);
        EXPECT_EQ(tab.ChosenSource(), source.code);
        EXPECT_EQ(sink->SourceKind(), source.code);
        EXPECT_EQ(devices.Streaming(0), source.code == SOURCE_CAMERA);
        for (const int resource : kSubPanels) {
            CUIWnd* sub = SubWindow(resource);
            ASSERT_NE(sub, nullptr) << resource;
            const bool shown = std::find(source.shown.begin(), source.shown.end(), resource) != source.shown.end();
            EXPECT_EQ(sub->isVisible(), shown) << resource;
        }
    }
    // The media list and its view share the area without overlapping.
    EXPECT_FALSE(SubWindow(IDR_MED_LIST)->geometry().intersects(SubWindow(IDR_MED_VIEW)->geometry()));
}

TEST_F(SourceTab, MessagesTheTabTakes)
{
    CWndVideoScr& tab = Build();
    // The left pane's screen button, through the main window. Without an X server the screen panel
    // says so as it comes up.
    ModalDriver driver;
    driver.Click(IDR_USER_OPT_HITE, 1143);
    EXPECT_TRUE(SendWindowMessage(&tab, WM_SELECT_SCREEN_SOURCE));
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        EXPECT_TRUE(RunUntil([&] { return driver.Done(); }));
    EXPECT_EQ(tab.ChosenSource(), SOURCE_SCREEN);
    EXPECT_EQ(sink->SourceKind(), SOURCE_SCREEN);
    EXPECT_FALSE(devices.Streaming(0));

    // A picture chosen anywhere in the tab: the source that runs stops and the picture is shown.
    const std::string picture = home_.File("shown.png");
    WritePicture(picture, Qt::red);
    EXPECT_TRUE(SendWindowMessage(&tab, WM_SHOW_PICTURE_FILE, 0, 0, picture));
    EXPECT_EQ(sink->SourceKind(), SOURCE_PICTURE);
    EXPECT_EQ(sink->PicturePath(), picture);
    EXPECT_TRUE(sink->PictureActive);
    ASSERT_TRUE(RunUntil([&] { return written >= 2; }));

    // The end of a media file goes on to the media list, which plays the next entry.
    EXPECT_TRUE(SendWindowMessage(&tab, WM_MEDIA_LIST_ENDED));
    EXPECT_FALSE(sink->MoviePlaying);  // an empty list plays nothing
}
