// What a screen reader says for each control of the program's windows.
#include "SkinFixture.h"
#include "ui/SkinControls.h"
#include "ui/SkinResources.h"
#include "ui/UIWnd.h"

#include <QAccessible>

#include <gtest/gtest.h>

using AccessibleNamesTest = ShippedSkinTest;

namespace {

QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

}  // namespace

TEST_F(AccessibleNamesTest, EveryControlOfTheMainWindowPanelsAndDialogsHasAName)
{
    const int resources[] = {IDR_MAIN_FRAME, IDR_OPUS, IDR_USER_OPT_HITE, IDR_ABOUT, IDR_SETTING, IDR_CHOICE_PATH,
                             IDR_NAME, IDR_RECORD_FINISH, IDR_SPE_EFFECT, IDR_VIDEO_SCR, IDR_KTV, IDR_LEFT_PAN,
                             IDR_SUB_VIDEO_SPE_EFFECT, IDR_SELECTED_EFFECT, IDR_COLOR_ADJUST, IDR_INNER_IMG,
                             IDR_ADD_FONT, IDR_SUB_VIDEO_SETTING, IDR_MED_LIST, IDR_MED_VIEW, IDR_SUB_IMG_VIEW,
                             IDR_SUB_CAPTURE, IDR_SUB_SONG_SCR, IDR_SUB_SEL_SONG};
    int buttons = 0;
    for (int resource : resources) {
        CUIWnd window(resource);
        ASSERT_TRUE(window.Create()) << resource;
        for (const SkinControl& control : UiSkin()->Window(resource)->controls) {
            QWidget* widget = window.GetControl(control.id);
            if (!widget || control.kind == ControlKind::Static || control.kind == ControlKind::Progress)
                continue;
            EXPECT_FALSE(SpokenName(widget).isEmpty()) << resource << " control " << control.id;
            buttons += qobject_cast<CSkinButton*>(widget) != nullptr;
        }
    }
    EXPECT_GT(buttons, 50);  // the push buttons, check boxes, radios and tabs were among them
}

TEST_F(AccessibleNamesTest, IconButtonsAreNamedByTheirTipAndTextControlsByTheirText)
{
    CUIWnd main(IDR_MAIN_FRAME);
    ASSERT_TRUE(main.Create());
    CUIWnd left(IDR_LEFT_PAN);
    ASSERT_TRUE(left.Create());
    CUIWnd text(IDR_ADD_FONT);
    ASSERT_TRUE(text.Create());
    const struct {
        CUIWnd* window;
        int id;
        const char* name;
    } cases[] = {
        {&main, 1001, "最小化"}, {&main, 1002, "关闭"},  {&main, 1010, "系统设置"}, {&main, 1006, "视频特效"},
        {&left, 1118, "播放/暂停"}, {&left, 1119, "停止"}, {&left, 1128, "拍照"},
        {&text, 1066, "文字内容"},  // an edit: the label on its left
        {&text, 1000, "文字颜色"},  {&text, 1068, "关闭文字"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpokenName(c.window->GetControl(c.id)), QString::fromUtf8(c.name)) << c.id;
}
