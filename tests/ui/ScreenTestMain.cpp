// The screen tests run on a real X server: a private Xvfb on a free display, started here before the
// application object connects to it. Without Xvfb the tests skip.
#include <QApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

bool XvfbRunning = false;

namespace {

// Xvfb picks a free display itself and writes its number to the pipe, so that test programs started
// side by side never share one server.
pid_t StartXvfb(int& display)
{
    if (!QFileInfo::exists("/usr/bin/Xvfb"))
        return 0;
    int numberPipe[2];
    if (pipe(numberPipe) != 0)
        return 0;
    const std::string fd = std::to_string(numberPipe[1]);
    const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                          nullptr};
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) == 0;
    close(numberPipe[1]);
    std::string number;
    char c = 0;
    while (spawned && read(numberPipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(numberPipe[0]);
    if (!spawned)
        return 0;
    if (number.empty()) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return 0;
    }
    display = std::stoi(number);
    return pid;
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
