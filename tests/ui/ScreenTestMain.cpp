// The screen tests run on a real X server: a private Xvfb on a free display, started here before the
// application object connects to it. Without Xvfb the tests skip.
#include <QApplication>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

bool XvfbRunning = false;

namespace {

pid_t StartXvfb(int& display)
{
    if (!QFileInfo::exists("/usr/bin/Xvfb"))
        return 0;
    for (display = 91; display < 140; ++display)
        if (!QFileInfo::exists(QString("/tmp/.X%1-lock").arg(display)) &&
            !QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(display)))
            break;
    const std::string name = ":" + std::to_string(display);
    const char* argv[] = {"/usr/bin/Xvfb", name.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return 0;
    for (int i = 0; i < 200; ++i) {
        if (QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(display)))
            return pid;
        QThread::msleep(50);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int display = 0;
    const pid_t xvfb = StartXvfb(display);
    XvfbRunning = xvfb != 0;
    if (XvfbRunning) {
        qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display));
        qputenv("QT_QPA_PLATFORM", "xcb");
        // The windows need no OpenGL; its driver libraries would be unloaded with a buffer still held,
        // which the leak checker reports at exit.
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int code = 0;
    {
        QApplication app(argc, argv);
        testing::InitGoogleTest(&argc, argv);
        code = RUN_ALL_TESTS();
    }
    if (xvfb) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return code;
}
