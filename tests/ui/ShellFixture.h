#pragma once
// A fresh program folder with the shipped skin and effect pictures, fresh settings and a private runtime
// folder (where the single-instance lock and server live), for one test of the application's windows.
#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "support/TempHome.h"
#include "ui/Skin.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline void CopyShippedSkin(const std::string& home)
{
    QDir().mkpath(QString::fromStdString(home));
    QProcess::execute("cp", {"-r", KORVEL_SOURCE_DIR "/assets/Skins", QString::fromStdString(home)});
}

// The effect pictures and their index: the effects tab lists them, and tells of a missing folder.
inline void CopyShippedEffects(const std::string& home)
{
    QDir().mkpath(QString::fromStdString(home));
    QProcess::execute("cp", {"-r", KORVEL_SOURCE_DIR "/assets/Effect", KORVEL_SOURCE_DIR "/assets/Img_Config.xml",
                             QString::fromStdString(home)});
}

class ShellTest : public testing::Test {
protected:
    void SetUp() override
    {
        previousRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        CopyShippedSkin(home_.Path());
        CopyShippedEffects(home_.Path());
        ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(home_.File("Skins/Korvel/the.ui"))));
        Settings = SettingsRecord{};
        ActiveIni = ActiveLinks{};
    }
    void TearDown() override
    {
        ReleaseUiSkin();
        if (previousRuntime_.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", previousRuntime_);
    }

    TempHome home_;
    QTemporaryDir runtime_;
    QByteArray previousRuntime_;
};
