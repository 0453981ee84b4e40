#include "settings/Settings.h"
#include "settings/SettingsLifecycle.h"
#include "settings/UserConfig.h"
#include "fileio/ProgramFolder.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class UserConfigTest : public ::testing::Test {
protected:
    void SetUp() override { Settings = SettingsRecord(); }
    void TearDown() override { Settings = SettingsRecord(); }

    void LoadText(const std::string& text)
    {
        WriteFileBytes(home.File("User_Config.xml"), text);
        LoadUserConfig();
    }

    TempHome home;
};

std::string DefaultsDocument(const std::string& folder)
{
    return "<User_Config>\r\n"
           "<Cartoon>\r\n<item EffType=\"1\"/>\r\n</Cartoon>\r\n"
           "<Frame>\r\n<item EffType=\"1\"/>\r\n</Frame>\r\n"
           "<Light>\r\n<item EffType=\"1\"/>\r\n</Light>\r\n"
           "<Dossal>\r\n<item EffType=\"1\"/>\r\n</Dossal>\r\n"
           "<SpecialEffect>\r\n<item CliqueVal=\"100\"/>\r\n</SpecialEffect>\r\n"
           "<AdjustColor>\r\n<item Bright=\"100\" Contrast=\"100\" Composite=\"100\" Red=\"0\" Green=\"0\" "
           "Blue=\"0\" Forbid=\"1\"/>\r\n</AdjustColor>\r\n"
           "<InnerImg>\r\n<item FloatType=\"0\" HOffset=\"50\" VOffset=\"50\" ZoomSize=\"60\" Contrast=\"100\" "
           "Close=\"1\" FrontImg=\"\" BackImg=\"\"/>\r\n</InnerImg>\r\n"
           "<CameraSrc>\r\n<item DefImg=\"\"/>\r\n</CameraSrc>\r\n"
           "<AddFont>\r\n<item Content=\"\" FontName=\"宋体\" FontSize=\"12\" FontHeight=\"0\" FontCor=\"0\" "
           "BackGrdCor=\"ffffff\" ChangeType=\"0\" ChangSpeed=\"30\" Close=\"1\"/>\r\n</AddFont>\r\n"
           "<SubEffImgInfo/>\r\n"
           "<ImgScrPath/>\r\n"
           "<SavePath>\r\n<item MyPhotoPath=\"" + folder + "/Photo\" RecordPath=\"" + folder +
           "/Record\" SongPath=\"\" LyricPath=\"\"/>\r\n</SavePath>\r\n"
           "<LoopMode>\r\n<item Musiz=\"1\" MedFile=\"1\"/>\r\n</LoopMode>\r\n"
           "</User_Config>\r\n";
}

}  // namespace

TEST_F(UserConfigTest, WithoutAFileTheDefaultsAreWrittenInTheStandardLayout)
{
    LoadSettingsFiles();
    EnsureOutputFolders();
    EXPECT_TRUE(Settings.AdjustColor.Forbid);
    EXPECT_TRUE(Settings.AddFont.Close);
    EXPECT_TRUE(Settings.InnerImg.Close);
    EXPECT_EQ(Settings.SavePath.MyPhotoPath, home.File("Photo"));
    SaveUserConfig();
    EXPECT_EQ(ReadFileBytes(home.File("User_Config.xml")), DefaultsDocument(home.Path()));
}

TEST_F(UserConfigTest, SavedValuesLoadBackUnchanged)
{
    Settings.AdjustColor = {120, 80, 95, -5, 7, 255, false};
    Settings.InnerImg = {2, 10, 20, 33, 70, false, "/f/front.jpg", "/f/back.bmp"};
    Settings.AddFont.Content = "<Tom & \"Jerry\">\r\nline 2 's";
    Settings.AddFont.FontCor = 0x00FF8800;
    Settings.AddFont.BackGrdCor = 0;
    Settings.SubEffImgInfo = {{2, "雪花", "/e/snow.gif"}, {4, "框", "/e/frame.bmp"}};
    Settings.ImgScrPath = {"/p/1.jpg", "/p/2.png"};
    Settings.LoopMode = {4, 0};
    SaveUserConfig();
    const SettingsRecord saved = Settings;

    Settings = SettingsRecord();
    LoadUserConfig();
    EXPECT_EQ(Settings.AdjustColor.Red, -5);
    EXPECT_EQ(Settings.AdjustColor.Blue, 255);
    EXPECT_FALSE(Settings.AdjustColor.Forbid);
    EXPECT_EQ(Settings.InnerImg.BackImg, saved.InnerImg.BackImg);
    EXPECT_EQ(Settings.InnerImg.ZoomSize, 33);
    EXPECT_FALSE(Settings.InnerImg.Close);
    EXPECT_EQ(Settings.AddFont.Content, saved.AddFont.Content);
    EXPECT_EQ(Settings.AddFont.FontCor, 0x00FF8800u);
    EXPECT_EQ(Settings.AddFont.BackGrdCor, 0u);
    ASSERT_EQ(Settings.SubEffImgInfo.size(), 2u);
    EXPECT_EQ(Settings.SubEffImgInfo[1].ImgName, "框");
    EXPECT_EQ(Settings.SubEffImgInfo[1].SubEffType, 4);
    EXPECT_EQ(Settings.ImgScrPath, saved.ImgScrPath);
    EXPECT_EQ(Settings.LoopMode.Musiz, 4);
    EXPECT_EQ(Settings.LoopMode.MedFile, 0);
    const std::string text = ReadFileBytes(home.File("User_Config.xml"));
    EXPECT_NE(text.find("FontCor=\"ff8800\""), std::string::npos);
    EXPECT_NE(text.find("Content=\"&lt;Tom &amp; &quot;Jerry&quot;&gt;&#13;&#10;line 2 &apos;s\""), std::string::npos);
}

TEST_F(UserConfigTest, LoadingRules)
{
    struct Case {
        const char* name;
        std::string document;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"a missing Forbid attribute switches colour adjustment on",
         "<User_Config><AdjustColor><item Bright='90'/></AdjustColor></User_Config>",
         [] {
             EXPECT_FALSE(Settings.AdjustColor.Forbid);
             EXPECT_EQ(Settings.AdjustColor.Bright, 90);
             EXPECT_EQ(Settings.AdjustColor.Contrast, 0);
         }},
        {"groups in another order, unknown groups and another root name",
         "<Other><LoopMode><item Musiz='3' MedFile='2'/></LoopMode><Junk a='1'/>"
         "<Cartoon><item EffType='0'/></Cartoon></Other>",
         [] {
             EXPECT_EQ(Settings.LoopMode.Musiz, 3);
             EXPECT_EQ(Settings.Cartoon.EffType, 0);
             EXPECT_EQ(Settings.Frame.EffType, 1);
         }},
        {"colours with and without 0x, and without hex digits",
         "<U><AddFont><item FontCor='0xff' BackGrdCor='zz'/></AddFont></U>",
         [] {
             EXPECT_EQ(Settings.AddFont.FontCor, 0xFFu);
             EXPECT_EQ(Settings.AddFont.BackGrdCor, 0u);
             EXPECT_EQ(Settings.AddFont.FontName, "");
             EXPECT_FALSE(Settings.AddFont.Close);
         }},
        {"only the first group of a name and the first child of a group count",
         "<U><Frame><other EffType='0'/><item EffType='1'/></Frame><Frame><item EffType='7'/></Frame></U>",
         [] { EXPECT_EQ(Settings.Frame.EffType, 0); }},
        {"a group without a child keeps its defaults",
         "<U><InnerImg></InnerImg><SpecialEffect>text</SpecialEffect></U>",
         [] {
             EXPECT_EQ(Settings.InnerImg.ZoomSize, 60);
             EXPECT_EQ(Settings.SpecialEffect.CliqueVal, 100);
         }},
        {"booleans are true only for 1",
         "<U><InnerImg><item Close='2'/></InnerImg><AddFont><item Close=' 1x'/></AddFont></U>",
         [] {
             EXPECT_FALSE(Settings.InnerImg.Close);
             EXPECT_TRUE(Settings.AddFont.Close);
         }},
        {"list items in document order, whatever their names",
         "<U><SubEffImgInfo><item SubEffType='2' ImgName='a' ImgPath='1'/><x SubEffType='8'/>"
         "<item ImgPath='3'/></SubEffImgInfo><ImgScrPath><item ImgPath='p'/></ImgScrPath></U>",
         [] {
             ASSERT_EQ(Settings.SubEffImgInfo.size(), 3u);
             EXPECT_EQ(Settings.SubEffImgInfo[1].SubEffType, 8);
             EXPECT_EQ(Settings.SubEffImgInfo[1].ImgPath, "");
             EXPECT_EQ(Settings.SubEffImgInfo[2].ImgPath, "3");
             EXPECT_EQ(Settings.ImgScrPath, std::vector<std::string>{"p"});
         }},
        {"not well-formed: every field keeps its default",
         "<User_Config><Cartoon><item EffType='0'/></Cartoon>",
         [] { EXPECT_EQ(Settings.Cartoon.EffType, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings = SettingsRecord();
        LoadText(c.document);
        c.check();
    }
}

TEST_F(UserConfigTest, ListsAreAppendedToWhatTheyHold)
{
    Settings.ImgScrPath = {"kept"};
    LoadText("<U><ImgScrPath><item ImgPath='new'/></ImgScrPath></U>");
    EXPECT_EQ(Settings.ImgScrPath, (std::vector<std::string>{"kept", "new"}));
}

TEST_F(UserConfigTest, SavingDropsUnknownGroupsAndWritesTheStandardOrder)
{
    LoadText("<U><Junk/><LoopMode><item Musiz='0' MedFile='0'/><item/></LoopMode></U>");
    EnsureOutputFolders();
    Settings.LoopMode = {1, 1};
    SaveUserConfig();
    EXPECT_EQ(ReadFileBytes(home.File("User_Config.xml")), DefaultsDocument(home.Path()));
}

TEST_F(UserConfigTest, BadFilesLoadWhatTheyCanWithoutCrashing)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    const std::string inputs[] = {
        "",
        std::string("\0\x01\x02\xff\xfe binary", 12),
        "<User_Config><AdjustColor><item Bright='7'",
        "<U><AddFont><item Content='" + std::string(100000, 'c') + "'/></AddFont></U>",
        "<U><AddFont><item FontName='\xff\xfe\x80'/></AddFont></U>",
        "<U>" + deep,
        "<U><SubEffImgInfo>" + [] {
            std::string items;
            for (int i = 0; i < 200000; ++i)
                items += "<item SubEffType='2' ImgName='n' ImgPath='p'/>";
            return items;
        }() + "</SubEffImgInfo></U>",
    };
    for (const std::string& text : inputs) {
        Settings = SettingsRecord();
        LoadText(text);
        SaveUserConfig();
        Settings = SettingsRecord();
        LoadUserConfig();  // what was saved always loads again
    }
    EXPECT_EQ(Settings.SubEffImgInfo.size(), 200000u);
}

TEST_F(UserConfigTest, AFileThatIsNotWellFormedLeavesEveryDefault)
{
    SaveUserConfig();
    const std::string defaults = ReadFileBytes(home.File("User_Config.xml"));
    const std::string values = "<AdjustColor><item Bright='7' Forbid='0'/></AdjustColor><LoopMode><item Musiz='3'/></LoopMode>";
    const std::string bad[] = {
        "<User_Config>" + values + "</User_Config><User_Config/>",
        "<User_Config>" + values + "</User_Config>trailing text",
        "<User_Config><AdjustColor><item Bright='7' Bright='8'/></AdjustColor></User_Config>",
        "<User_Config>" + values + "<AddFont><item Content='&nbsp;'/></AddFont></User_Config>",
        "<User_Config>" + values + "<AddFont><item Content='a<b'/></AddFont></User_Config>",
    };
    for (const std::string& text : bad) {
        Settings = SettingsRecord();
        LoadText(text);
        SaveUserConfig();
        EXPECT_EQ(ReadFileBytes(home.File("User_Config.xml")), defaults) << text;
    }
}

TEST_F(UserConfigTest, OutputFoldersFallBackToTheProgramFolder)
{
    Settings.SavePath.MyPhotoPath = home.Path();
    Settings.SavePath.RecordPath = home.File("does/not/exist");
    EnsureOutputFolders();
    EXPECT_EQ(Settings.SavePath.MyPhotoPath, home.Path());
    EXPECT_EQ(Settings.SavePath.RecordPath, home.File("Record"));
    EXPECT_TRUE(FolderExists(home.File("Record")));
}
