// Reading skin files: what is accepted, what is refused, and the skin the program ships.
#include "SkinFixture.h"
#include "ui/Skin.h"
#include "ui/SkinResources.h"

#include <QFileInfo>

#include <gtest/gtest.h>

TEST(Skin, ReadsWindowsAndControls)
{
    SkinFixture fixture;
    const std::string path = fixture.Write(
        "<window id='1140' width='380' height='200' title='提示' background='bg.png' colorkey='#FF00FF'>"
        "  <control id='1144' kind='static' rect='84,54,272,84' text='正文' align='left|top|wrap' color='#333333'"
        "           size='14' bold='1'/>"
        "  <control id='1143' kind='button' rect='270,152,96,32' text='确定' image='btn' visible='0' name='好'/>"
        "  <control id='1176' kind='placeholder' rect='18,74,364,278'/>"
        "  <control id='1120' kind='slider' rect='1,2,30,10' min='5' max='50' value='7'/>"
        "  <control id='1099' kind='combo' rect='1,2,30,10' items='176*144|320*240|640*480'/>"
        "  <control id='4101' kind='tree' rect='1,2,30,10' itemheight='24' expand='EXPAND.bmp' collapse='COLLAPSE.bmp'"
        "           image='LIST_PATENT_ITEM_BK.bmp'/>"
        "  <control id='1063' kind='spin' rect='1,2,30,10' min='0' max='222' value='10'/>"
        "  <control id='1000' kind='color' rect='1,2,30,10'/>"
        "  <control id='4220' kind='foldertree' rect='1,2,30,10'/>"
        "</window>",
        "QLabel { image: url(${skin}/x.png); }");
    QString error;
    const auto skin = CSkin::Load(QString::fromStdString(path), &error);
    ASSERT_TRUE(skin) << error.toStdString();
    EXPECT_EQ(skin->StyleSheet(), "QLabel { image: url(" + QString::fromStdString(fixture.Folder()) + "/x.png); }");
    const SkinWindow* window = skin->Window(1140);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size, QSize(380, 200));
    EXPECT_EQ(window->title, "提示");
    EXPECT_EQ(window->colorKey, QColor(255, 0, 255));
    EXPECT_EQ(skin->ImagePath(window->background), QString::fromStdString(fixture.Folder() + "/bg.png"));
    EXPECT_EQ(skin->Window(1141), nullptr);

    const SkinControl* text = window->Control(1144);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->kind, ControlKind::Static);
    EXPECT_EQ(text->rect, QRect(84, 54, 272, 84));
    EXPECT_EQ(text->text, "正文");
    EXPECT_EQ(text->align, Qt::AlignLeft | Qt::AlignTop);
    EXPECT_TRUE(text->wrap);
    EXPECT_EQ(text->fontSize, 14);
    EXPECT_TRUE(text->bold);
    EXPECT_FALSE(window->Control(1143)->visible);
    EXPECT_EQ(window->Control(1143)->name, "好");
    EXPECT_EQ(window->Control(1176)->kind, ControlKind::Placeholder);
    const SkinControl* slider = window->Control(1120);
    EXPECT_EQ(slider->minimum, 5);
    EXPECT_EQ(slider->maximum, 50);
    EXPECT_EQ(slider->value, 7);
    EXPECT_EQ(window->Control(1099)->items, QStringList({"176*144", "320*240", "640*480"}));
    const SkinControl* tree = window->Control(4101);
    EXPECT_EQ(tree->itemHeight, 24);
    EXPECT_EQ(tree->expandIcon, "EXPAND.bmp");
    EXPECT_EQ(tree->collapseIcon, "COLLAPSE.bmp");
    EXPECT_EQ(tree->image, "LIST_PATENT_ITEM_BK.bmp");
    EXPECT_EQ(window->Control(1063)->kind, ControlKind::Spin);
    EXPECT_EQ(window->Control(1063)->maximum, 222);
    EXPECT_EQ(window->Control(1000)->kind, ControlKind::Color);
    EXPECT_EQ(window->Control(4220)->kind, ControlKind::FolderTree);
    EXPECT_EQ(window->Control(1144)->itemHeight, 0);
}

TEST(Skin, RefusesBrokenFiles)
{
    const struct {
        const char* name;
        const char* windows;
    } cases[] = {
        {"unknown kind", "<window id='1' width='10' height='10'><control id='2' kind='dial' rect='0,0,1,1'/></window>"},
        {"bad rect", "<window id='1' width='10' height='10'><control id='2' kind='edit' rect='0,0,1'/></window>"},
        {"empty rect", "<window id='1' width='10' height='10'><control id='2' kind='edit' rect='0,0,0,5'/></window>"},
        {"no size", "<window id='1'/>"},
        {"twice", "<window id='1' width='10' height='10'/><window id='1' width='10' height='10'/>"},
        {"no windows", ""},
        {"not xml", "<window id='1' width='10' height='10'>"},
        {"rect past the int range",
         "<window id='1' width='10' height='10'><control id='2' kind='edit' rect='2147483647,0,10,10'/></window>"},
        {"attribute twice", "<window id='1' id='2' width='10' height='10'/>"},
        {"unknown entity", "<window id='1' width='10' height='10' title='&nbsp;'/>"},
    };
    for (const auto& c : cases) {
        SkinFixture fixture;
        QString error;
        EXPECT_FALSE(CSkin::Load(QString::fromStdString(fixture.Write(c.windows)), &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
    }
    QString error;
    EXPECT_FALSE(CSkin::Load("/nonexistent/the.ui", &error));
    EXPECT_TRUE(error.contains("/nonexistent/the.ui"));
}

TEST(Skin, ProcessSkinKeepsThePreviousOneOnFailure)
{
    SkinFixture fixture;
    ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(fixture.Write("<window id='7' width='10' height='10'/>"))));
    EXPECT_FALSE(SetUiSkinFile("/nonexistent/the.ui"));
    ASSERT_NE(UiSkin(), nullptr);
    EXPECT_NE(UiSkin()->Window(7), nullptr);
    ReleaseUiSkin();
    EXPECT_EQ(UiSkin(), nullptr);
}

// The identifiers the program's windows rely on, per resource.
TEST(Skin, ShippedSkinHasEveryWindowAndControlTheProgramUses)
{
    QString error;
    const auto skin = CSkin::Load(KORVEL_SOURCE_DIR "/assets/Skins/Korvel/the.ui", &error);
    ASSERT_TRUE(skin) << error.toStdString();
    const struct {
        int resource;
        std::vector<int> controls;
    } contract[] = {
        {IDR_MAIN_FRAME, {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015}},
        {IDR_WELCOME, {1116}},
        {IDR_OPUS, {1139}},
        {IDR_USER_OPT_HITE, {1002, 1141, 1142, 1143, 1144, 1145, 1146, 1147}},
        {IDR_ABOUT, {1147, 1148}},
        {IDR_SETTING, {1002, 1152, 1153, 1154, 1155, 1156, 1157, 1158, 1159, 1160, 1161, 1162, 1163, 1164, 1165,
                       1166, 1167, 1169, 1170, 1171, 1172, 1173, 1174}},
        {IDR_CHOICE_PATH, {1002, 1142, 1176, 1177, 1178}},
        {IDR_NAME, {1189, 1190}},
        {IDR_RECORD_FINISH, {1192, 1193, 1194, 1195, 1196}},
        {IDR_SPE_EFFECT, {4101, 4103}},
        {IDR_VIDEO_SCR, {4201, 4203}},
        {IDR_KTV, {4301, 4302}},
        {IDR_LEFT_PAN, {1117, 1128, 1136}},
        {IDR_SUB_VIDEO_SPE_EFFECT, {1023, 1024, 1025, 1026, 1027, 4102}},
        {IDR_SELECTED_EFFECT, {1032, 1033}},
        {IDR_INNER_IMG, {1051, 1056, 1057, 1058, 4112}},
        {IDR_ADD_FONT, {1000, 1061, 1062, 1063, 1065, 1066, 1068, 2000}},
        {IDR_SUB_VIDEO_SETTING, {1076, 1077, 1078, 1079, 1080, 1081, 1082, 1083}},
        {IDR_MED_LIST, {1182, 1183, 1184, 1185, 1186, 1187}},
        {IDR_SUB_CAPTURE, {1088, 1089, 1090, 1091, 1092, 1093, 1094, 1095, 1096, 1099}},
        {IDR_SUB_SONG_SCR, {200}},
    };
    for (const auto& window : contract) {
        const SkinWindow* found = skin->Window(window.resource);
        ASSERT_NE(found, nullptr) << window.resource;
        EXPECT_TRUE(QFileInfo(skin->ImagePath(found->background)).isFile()) << window.resource;
        for (int id : window.controls)
            EXPECT_NE(found->Control(id), nullptr) << window.resource << " control " << id;
        // Every picture a control names is there, in each of its states.
        for (const SkinControl& control : found->controls) {
            QStringList pictures;
            for (const QString& picture : {control.icon, control.checkedIcon, control.expandIcon, control.collapseIcon})
                if (!picture.isEmpty())
                    pictures << picture;
            const bool statePictures = control.kind == ControlKind::Button || control.kind == ControlKind::Tab ||
                                       control.kind == ControlKind::Check || control.kind == ControlKind::Radio;
            if (!control.image.isEmpty())
                pictures << (statePictures ? control.image + "_normal.png" : control.image);
            for (const QString& picture : pictures)
                EXPECT_TRUE(QFileInfo(skin->ImagePath(picture)).isFile()) << picture.toStdString();
        }
    }
}

// The kinds the panels build on: they reach these controls by their classes.
TEST(Skin, ShippedSkinGivesThePanelsTheirControlKinds)
{
    const auto skin = CSkin::Load(KORVEL_SOURCE_DIR "/assets/Skins/Korvel/the.ui");
    ASSERT_TRUE(skin);
    const struct {
        int resource;
        int id;
        ControlKind kind;
    } controls[] = {
        {IDR_SPE_EFFECT, 4101, ControlKind::Tree},           {IDR_VIDEO_SCR, 4201, ControlKind::Tree},
        {IDR_SUB_VIDEO_SPE_EFFECT, 4102, ControlKind::Thumbs}, {IDR_INNER_IMG, 4112, ControlKind::Thumbs},
        {IDR_SUB_IMG_VIEW, 4221, ControlKind::Thumbs},        {IDR_SUB_IMG_VIEW, 4220, ControlKind::FolderTree},
        {IDR_ADD_FONT, 1063, ControlKind::Spin},              {IDR_ADD_FONT, 1000, ControlKind::Color},
        {IDR_ADD_FONT, 2000, ControlKind::Color},             {IDR_SUB_SEL_SONG, 4310, ControlKind::TreeList},
        {IDR_SELECTED_EFFECT, 4104, ControlKind::List},       {IDR_MED_LIST, 4210, ControlKind::List},
    };
    for (const auto& c : controls) {
        const SkinControl* control = skin->Window(c.resource)->Control(c.id);
        ASSERT_NE(control, nullptr) << c.resource << " " << c.id;
        EXPECT_EQ(control->kind, c.kind) << c.resource << " " << c.id;
    }
    const SkinControl* tree = skin->Window(IDR_SPE_EFFECT)->Control(4101);
    EXPECT_EQ(tree->itemHeight, 24);
    EXPECT_EQ(tree->expandIcon, "EXPAND.bmp");
    EXPECT_EQ(tree->collapseIcon, "COLLAPSE.bmp");
    EXPECT_EQ(tree->image, "LIST_PATENT_ITEM_BK.bmp");
    const SkinControl* position = skin->Window(IDR_ADD_FONT)->Control(1063);
    EXPECT_EQ(position->minimum, 0);
    EXPECT_EQ(position->maximum, 222);
    EXPECT_EQ(position->value, 10);
}
