#include "diag/CrashHandler.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The line of the child's source that faults.
int FaultingLine()
{
    std::ifstream in(std::string(KORVEL_TEST_FIXTURES) + "/crash_child.cpp");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number)
        if (line.find("// the faulting line") != std::string::npos)
            return number;
    return -1;
}

// The message after the "[MM-DD hh:mm:ss]:" prefix.
std::string Message(const std::string& line)
{
    const auto end = line.find("]:");
    return end == std::string::npos ? line : line.substr(end + 2);
}

class CrashHandlerTest : public ::testing::Test {
protected:
    // Starts the child with the program folder in `home`; the sanitizer leaves the fault signals to it.
    pid_t Spawn(const char* mode, int* readyPipe = nullptr)
    {
        int fds[2];
        if (readyPipe && pipe(fds) != 0)
            return -1;
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("KORVEL_HOME", home.path().toUtf8().constData(), 1);
            setenv("ASAN_OPTIONS", "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0", 1);
            if (readyPipe) {
                dup2(fds[1], 1);
                close(fds[0]);
                close(fds[1]);
            }
            execl(KORVEL_CRASH_CHILD, KORVEL_CRASH_CHILD, mode, static_cast<char*>(nullptr));
            _exit(127);
        }
        if (readyPipe) {
            close(fds[1]);
            *readyPipe = fds[0];
        }
        return pid;
    }

    int WaitExit(pid_t pid)
    {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid)
            return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }

    std::vector<std::string> Log() { return Lines(ReadFileBytes(home.path().toStdString() + "/ImportantError.log")); }

    QTemporaryDir home;
};

TEST(WindowsExceptionCode, SignalsMapToWindowsCodes)
{
    struct Case {
        int signal, code;
        uint32_t expected;
    };
    const Case cases[] = {
        {SIGSEGV, SEGV_MAPERR, 0xC0000005}, {SIGSEGV, SI_USER, 0xC0000005}, {SIGBUS, BUS_ADRALN, 0xC0000005},
        {SIGFPE, FPE_INTDIV, 0xC0000094},   {SIGFPE, FPE_FLTDIV, 0xC000008E}, {SIGILL, ILL_ILLOPC, 0xC000001D},
        {SIGILL, ILL_PRVOPC, 0xC0000096},   {SIGABRT, SI_TKILL, 0x40000015},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowsExceptionCode(c.signal, c.code), c.expected) << c.signal << "/" << c.code;
}

TEST_F(CrashHandlerTest, NullDereferenceIsReportedWithFunctionAndLine)
{
    const pid_t pid = Spawn("null");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitExit(pid), 0);

    const auto log = Log();
    ASSERT_GE(log.size(), 4u);
    for (const auto& line : log)
        EXPECT_EQ(line.rfind("[", 0), 0u) << line;
    EXPECT_EQ(Message(log[0]).rfind("程序发生异常:类型: 0xc0000005  地址: 0x", 0), 0u) << log[0];
    const std::string where = Message(log[1]);
    EXPECT_EQ(where.rfind("地址描述:函数(CrashByNullPointer", 0), 0u) << where;
    EXPECT_NE(where.find("crash_child.cpp)(" + std::to_string(FaultingLine()) + ")"), std::string::npos) << where;
    EXPECT_EQ(Message(log[2]), "调用堆栈:");
    EXPECT_EQ(Message(log.back()), "强制程序退出");

    int addresses = 0;
    bool sawCaller = false, sawMain = false, sawModule = false;
    for (size_t i = 3; i + 1 < log.size(); ++i) {
        const std::string m = Message(log[i]);
        addresses += m.rfind("调用地址:0x", 0) == 0;
        sawModule |= m.rfind("调用模块:", 0) == 0 && m.find("crash_child") != std::string::npos;
        sawCaller |= m.rfind("地址描述:函数(CallTheCrash", 0) == 0;
        sawMain |= m.rfind("地址描述:函数(main", 0) == 0;
    }
    EXPECT_GE(addresses, 3);
    EXPECT_LE(addresses, 10);
    EXPECT_TRUE(sawModule);
    EXPECT_TRUE(sawCaller);
    EXPECT_TRUE(sawMain);
}

TEST_F(CrashHandlerTest, SegvSentFromOutsideIsReportedAndReportsAppend)
{
    for (int run = 1; run <= 2; ++run) {
        int ready = -1;
        const pid_t pid = Spawn("wait", &ready);
        ASSERT_GT(pid, 0);
        char buffer[16] = {};
        ASSERT_GT(read(ready, buffer, sizeof buffer), 0);
        close(ready);
        kill(pid, SIGSEGV);
        EXPECT_EQ(WaitExit(pid), 0);

        int reports = 0, ends = 0;
        for (const auto& line : Log()) {
            reports += Message(line).rfind("程序发生异常:类型: 0xc0000005", 0) == 0;
            ends += Message(line) == "强制程序退出";
        }
        EXPECT_EQ(reports, run);
        EXPECT_EQ(ends, run);
    }
}

// Two threads fault together: one report is written whole before another starts.
TEST_F(CrashHandlerTest, SecondCrashingThreadWaits)
{
    const pid_t pid = Spawn("two");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitExit(pid), 0);
    bool inside = false;
    int reports = 0;
    for (const auto& line : Log()) {
        const std::string m = Message(line);
        if (m.rfind("程序发生异常", 0) == 0) {
            EXPECT_FALSE(inside) << "a report began inside another";
            inside = true;
            ++reports;
        } else if (m == "强制程序退出") {
            EXPECT_TRUE(inside);
            inside = false;
        }
    }
    EXPECT_GE(reports, 1);
    EXPECT_FALSE(inside);
}

}  // namespace
