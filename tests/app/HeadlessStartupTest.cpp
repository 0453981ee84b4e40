// The korvel program itself, started as a separate process on a fresh program folder.
#include "support/Files.h"
#include "support/TempHome.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

int RunKorvel(const TempHome& home, const QStringList& args, QByteArray* errors = nullptr)
{
    QProcess korvel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KORVEL_HOME", QString::fromStdString(home.Path()));
    korvel.setProcessEnvironment(env);
    korvel.start(KORVEL_EXE, args);
    if (!korvel.waitForFinished(60000))
        return -1;
    if (errors)
        *errors = korvel.readAllStandardError();
    return korvel.exitStatus() == QProcess::NormalExit ? korvel.exitCode() : -1;
}

}  // namespace

TEST(HeadlessStartup, FirstRunWritesTheDefaultFiles)
{
    TempHome home;
    ASSERT_EQ(RunKorvel(home, {"--headless", "--frames", "0"}), 0);
    const std::string config = ReadFileBytes(home.File("User_Config.xml"));
    EXPECT_EQ(config.rfind("<User_Config>\r\n<Cartoon>\r\n", 0), 0u);
    EXPECT_NE(config.find("MyPhotoPath=\"" + home.File("Photo") + "\""), std::string::npos);
    EXPECT_NE(ReadFileBytes(home.File("Camera.ini")).find("DefaultDevice=ZENDRA Capture\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(home.File("Active.ini")).find("MkMoneyMethodURL=\r\n"), std::string::npos);

    // A second run keeps what the first one saved.
    WriteFileBytes(home.File("User_Config.xml"), "<User_Config><LoopMode><item Musiz='3' MedFile='4'/></LoopMode></User_Config>");
    ASSERT_EQ(RunKorvel(home, {"--headless", "--frames", "0"}), 0);
    EXPECT_NE(ReadFileBytes(home.File("User_Config.xml")).find("<item Musiz=\"3\" MedFile=\"4\"/>"), std::string::npos);
}

TEST(HeadlessStartup, BadArgumentsExitWithCode2)
{
    TempHome home;
    QByteArray errors;
    EXPECT_EQ(RunKorvel(home, {"--headless", "--frames", "many"}, &errors), 2);
    EXPECT_TRUE(errors.contains("--frames"));
}

TEST(HeadlessStartup, StopsAfterTheGivenSeconds)
{
    TempHome home;
    EXPECT_EQ(RunKorvel(home, {"--headless", "--seconds", "0.2"}), 0);
    EXPECT_FALSE(ReadFileBytes(home.File("Camera.ini")).empty());
}
