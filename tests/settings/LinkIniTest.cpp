#include "settings/LinkIni.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(CameraIni, DeviceChoiceRules)
{
    struct Case {
        const char* file;  // nullptr: no file
        const char* exclude;
        const char* device;
    };
    const Case cases[] = {
        {nullptr, kDefaultExcludeDevices, "ZENDRA Capture"},
        {"[General]\r\nDefaultDevice=USB Cam\r\n", kDefaultExcludeDevices, "USB Cam"},
        {"[General]\r\nExcludeDevices=BadCam\r\nDefaultDevice=BadCam\r\n", "BadCam", "ZENDRA Capture"},
        {"[General]\r\nExcludeDevices=A;B;\r\nDefaultDevice=Cam\r\n", "A;B;", "Cam"},
        {"[General]\r\nExcludeDevices=A;LongCamName;\r\nDefaultDevice=Cam\r\n", "A;LongCamName;", "ZENDRA Capture"},
        {"[General]\r\nDefaultDevice=\r\n", kDefaultExcludeDevices, "ZENDRA Capture"},
        {"[general]\r\nexcludedevices=x;\r\ndefaultdevice=y\r\n", "x;", "y"},
    };
    for (const Case& c : cases) {
        TempHome home;
        if (c.file)
            WriteFileBytes(home.File("Camera.ini"), c.file);
        ReadCameraIni();
        EXPECT_EQ(ExcludeDevices, c.exclude) << (c.file ? c.file : "no file");
        EXPECT_EQ(DefaultDevice, c.device) << (c.file ? c.file : "no file");
    }
}

TEST(CameraIni, WrittenBackWithTheDefaults)
{
    TempHome home;
    ReadCameraIni();
    WriteCameraIni();
    EXPECT_EQ(ReadFileBytes(home.File("Camera.ini")),
              "[General]\r\nExcludeDevices=Pelmora;Quibsoft;Quibcap;Tenocap;6403Cap Capture;\r\n"
              "DefaultDevice=ZENDRA Capture\r\n");
}

TEST(ActiveIni, ReadsAndWritesTheNineLinks)
{
    TempHome home;
    ReadActiveIni();
    WriteActiveIni();
    EXPECT_EQ(ReadFileBytes(home.File("Active.ini")),
              "[Main]\r\nHomepageURL=\r\nHelpURL=\r\nSpaceURL=\r\nBannerURL=\r\nLeftBottomURL=\r\nKtvLstURL=\r\n"
              "ForumURL=\r\nIniteBudMkMoneyURL=\r\nMkMoneyMethodURL=\r\n");

    WriteFileBytes(home.File("Active.ini"),
                   "; links\r\n[Main]\r\nhelpurl = http://help/ \r\nBannerURL=" + std::string(400, 'b') + "\r\n");
    ReadActiveIni();
    EXPECT_EQ(ActiveIni.HelpURL, "http://help/");
    EXPECT_EQ(ActiveIni.BannerURL, std::string(259, 'b'));
    EXPECT_EQ(ActiveIni.ForumURL, "");
    ActiveIni.ForumURL = "http://forum/";
    WriteActiveIni();
    const std::string text = ReadFileBytes(home.File("Active.ini"));
    EXPECT_EQ(text.rfind("; links\r\n[Main]\r\nhelpurl=http://help/\r\nBannerURL=", 0), 0u);
    EXPECT_NE(text.find("ForumURL=http://forum/\r\n"), std::string::npos);
}
