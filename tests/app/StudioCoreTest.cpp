// The start and end both front ends share: what runs in which order and what the end leaves on disk.
#include "app/StudioCore.h"
#include "pipeline/SourceKind.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "support/GuiApp.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

bool Exists(const std::string& path)
{
    return QFileInfo::exists(QString::fromStdString(path));
}

// A saved choice of a border and an animation picture from the shipped library, and a loop mode.
std::string SavedChoice(const std::string& effects)
{
    return "<User_Config><LoopMode><item Musiz='3' MedFile='0'/></LoopMode><SubEffImgInfo>"
           "<item SubEffType='4' ImgName='gold.gif' ImgPath='" + effects + "/frame'/>"
           "<item SubEffType='2' ImgName='snow.gif' ImgPath='" + effects + "/cartoon'/>"
           "</SubEffImgInfo></User_Config>";
}

}  // namespace

TEST(StudioCore, StartsInOrderAndEndsWithTheChoiceSaved)
{
    GuiApp();
    TempHome home;
    const std::string effects = KORVEL_SOURCE_DIR "/assets/Effect";
    WriteFileBytes(home.File("User_Config.xml"), SavedChoice(effects));
    Settings = SettingsRecord();

    bool windowsBuilt = false;
    {
        CStudioCore core;
        core.Start([&] {
            // The windows are built on loaded settings, on the camera source, before the folders exist.
            windowsBuilt = true;
            EXPECT_EQ(CaptureSink, &core.Sink());
            EXPECT_EQ(Settings.LoopMode.Musiz, 3);
            EXPECT_EQ(core.Sink().SourceKind(), SOURCE_CAMERA);
            EXPECT_EQ(core.Sink().CaptureMode, CAPTURE_PROCESS);
            EXPECT_EQ(core.Sink().SelectedEffects().size(), 2u);
            EXPECT_TRUE(Settings.SubEffImgInfo.empty());  // taken out until the end hands them back
            EXPECT_FALSE(Exists(home.File("Photo")));
        });
        EXPECT_TRUE(windowsBuilt);
        EXPECT_EQ(core.Sink().Layers().size(), 2u);
        EXPECT_TRUE(Exists(home.File("Photo")));
        EXPECT_TRUE(Exists(home.File("Record")));
        EXPECT_EQ(Settings.SavePath.MyPhotoPath, home.File("Photo"));

        core.Sink().RemoveSelectedEffect(effects + "/cartoon/snow.gif");
        core.StopCapture();
        EXPECT_EQ(core.Sink().CaptureMode, CAPTURE_PROCESS);  // the end does not change the mode
        EXPECT_FALSE(Exists(home.File("Camera.ini")));       // nothing is written before SaveSettings
        core.SaveSettings();
        EXPECT_TRUE(Settings.SubEffImgInfo.empty());
        core.SaveSettings();  // once only: the emptied list is not written over the saved one
    }
    EXPECT_EQ(CaptureSink, nullptr);
    const std::string saved = ReadFileBytes(home.File("User_Config.xml"));
    EXPECT_NE(saved.find("ImgName=\"gold.gif\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("snow.gif"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<item Musiz=\"3\" MedFile=\"0\"/>"), std::string::npos);
    EXPECT_TRUE(Exists(home.File("Active.ini")));
    EXPECT_TRUE(Exists(home.File("Camera.ini")));
}

TEST(StudioCore, AnEndWithoutAStartWritesNothing)
{
    GuiApp();
    TempHome home;
    {
        CStudioCore core;
    }
    EXPECT_FALSE(Exists(home.File("User_Config.xml")));
    EXPECT_FALSE(Exists(home.File("Camera.ini")));
}
