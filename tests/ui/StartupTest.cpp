// Start-up: the missing skin, the single instance in this process, and two real korvel processes.
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "app/KorvelApp.h"
#include "app/SingleInstance.h"
#include "support/Files.h"
#include "ui/SkinResources.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QLabel>
#include <QLocalSocket>
#include <QMessageBox>
#include <QTest>

#include <csignal>

namespace {

// Accepts the first plain message box that shows up and keeps its text.
class MessageBoxCatcher : public QObject {
public:
    MessageBoxCatcher()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
            }
        });
        timer_.start(5);
    }
    QString text;

private:
    QTimer timer_;
};

// A process id that no process has any more.
qint64 GoneProcessId()
{
    QProcess gone;
    gone.start("true");
    gone.waitForFinished();
    return gone.processId() ? gone.processId() : 999999;
}

}  // namespace

using StartupTest = ShellTest;

TEST_F(StartupTest, MissingOrBrokenSkinEndsTheStartWithTheMessage)
{
    for (const char* skin : {"", "<skin><window id='1000'"}) {
        TempHome empty;
        if (*skin) {
            QDir().mkpath(QString::fromStdString(empty.File("Skins/Korvel")));
            WriteFileBytes(empty.File("Skins/Korvel/the.ui"), skin);
        }
        ReleaseUiSkin();
        MessageBoxCatcher catcher;
        EXPECT_EQ(RunKorvelApp(*qApp), 1);
        EXPECT_EQ(catcher.text, "Failed to set the ui path or the ui path isn't exist!");
        EXPECT_EQ(MainFrame, nullptr);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(empty.File("User_Config.xml"))));
    }
}

TEST_F(StartupTest, ARunningInstanceWithoutItsWindowGivesTheNotice)
{
    CSingleInstance first;
    ASSERT_EQ(first.ClaimInstance(), CSingleInstance::CLAIM_FIRST);
    {
        CSingleInstance second;
        EXPECT_EQ(second.ClaimInstance(), CSingleInstance::CLAIM_UNREACHABLE);
    }
    ModalDriver driver;
    QString notice;
    driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
        notice = box->Control<QLabel>(1144)->text();
        box->Control<QAbstractButton>(1143)->click();
    });
    EXPECT_EQ(RunKorvelApp(*qApp), 0);
    EXPECT_EQ(notice, QString::fromUtf8("您已运行了本程序！"));
    EXPECT_EQ(MainFrame, nullptr);
}

TEST_F(StartupTest, LeftoversOfACrashedInstanceDoNotBlock)
{
    // The lock of a process that is gone, and its server's socket file.
    WriteFileBytes(runtime_.filePath(QString(CSingleInstance::kName) + ".lock").toStdString(),
                   std::to_string(GoneProcessId()) + "\nkorvel\n" + QHostInfo::localHostName().toStdString() + "\n");
    WriteFileBytes(CSingleInstance::ServerName().toStdString(), "");
    CSingleInstance instance;
    EXPECT_EQ(instance.ClaimInstance(), CSingleInstance::CLAIM_FIRST);
    EXPECT_TRUE(instance.Listen([] {}));
    QLocalSocket probe;
    probe.connectToServer(CSingleInstance::ServerName());
    EXPECT_TRUE(probe.waitForConnected(5000));
}

class TwoProcessesTest : public ShellTest {
protected:
    void Start(QProcess& korvel, const QStringList& args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KORVEL_HOME", QString::fromStdString(home_.Path()));
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        korvel.setProcessEnvironment(env);
        korvel.start(KORVEL_EXE, args);
        ASSERT_TRUE(korvel.waitForStarted(10000));
    }
    // True once a running instance answers on the local server, that is once its main window exists.
    bool WaitForMainWindow(QProcess& korvel)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && korvel.state() == QProcess::Running) {
            QLocalSocket probe;
            probe.connectToServer(CSingleInstance::ServerName());
            if (probe.waitForConnected(200))
                return true;
            QTest::qWait(100);
        }
        return false;
    }
    static void Kill(QProcess& korvel)
    {
        ::kill(pid_t(korvel.processId()), SIGKILL);
        korvel.waitForFinished(10000);
    }
};

TEST_F(TwoProcessesTest, ASecondStartBringsTheFirstToTheFrontAndEnds)
{
    QProcess first;
    Start(first);
    ASSERT_TRUE(WaitForMainWindow(first)) << first.readAllStandardError().toStdString();

    QProcess second;
    Start(second);
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    QByteArray firstErrors;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            firstErrors += first.readAllStandardError();
            return firstErrors.contains("brought to the front");
        },
        10000))
        << firstErrors.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    // A crash leaves the lock and the server behind; the next start still comes up.
    Kill(first);
    QProcess third;
    Start(third);
    EXPECT_TRUE(WaitForMainWindow(third)) << third.readAllStandardError().toStdString();
    EXPECT_EQ(third.state(), QProcess::Running);
    Kill(third);
}

TEST_F(TwoProcessesTest, AStopSignalEndsTheWindowedStudioAsAQuitDoes)
{
    QProcess korvel;
    Start(korvel);
    ASSERT_TRUE(WaitForMainWindow(korvel)) << korvel.readAllStandardError().toStdString();

    // A headless studio beside it would write the same camera and settings: it refuses to run.
    QProcess headless;
    Start(headless, {"--headless"});
    ASSERT_TRUE(headless.waitForFinished(30000));
    EXPECT_EQ(headless.exitCode(), 3) << headless.readAllStandardError().toStdString();
    EXPECT_EQ(korvel.state(), QProcess::Running);

    ::kill(pid_t(korvel.processId()), SIGTERM);
    ASSERT_TRUE(korvel.waitForFinished(30000));
    EXPECT_EQ(korvel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(korvel.exitCode(), 0) << korvel.readAllStandardError().toStdString();
    for (const char* file : {"User_Config.xml", "Active.ini", "Camera.ini"})
        EXPECT_FALSE(ReadFileBytes(home_.File(file)).empty()) << file;
}

TEST_F(StartupTest, WithoutADisplayTheHeadlessStudioStarts)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("KORVEL_HOME", QString::fromStdString(home_.Path()));
    QProcess korvel;
    korvel.setProcessEnvironment(env);
    korvel.start(KORVEL_EXE, {"--seconds", "0.2"});
    ASSERT_TRUE(korvel.waitForFinished(60000));
    EXPECT_EQ(korvel.exitCode(), 0);
    EXPECT_TRUE(korvel.readAllStandardError().contains("no display"));
    // The headless studio ran its shut-down: the settings were written.
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(home_.File("User_Config.xml"))));
}
