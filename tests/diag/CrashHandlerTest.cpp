#include "diag/CrashHandler.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cctype>
#include <chrono>
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
    // Starts the child with the program folder in `home`. The sanitizer is told to leave the fault signals
    // alone, unless `sanitizerKeepsFaults`: then the handler, installed after the sanitizer's, must win.
    pid_t Spawn(const char* mode, int* readyPipe = nullptr, bool sanitizerKeepsFaults = false,
                const char* child = KORVEL_CRASH_CHILD)
    {
        int fds[2];
        if (readyPipe && pipe(fds) != 0)
            return -1;
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("KORVEL_HOME", home.path().toUtf8().constData(), 1);
            if (sanitizerKeepsFaults)
                unsetenv("ASAN_OPTIONS");
            else
                setenv("ASAN_OPTIONS", "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0", 1);
            if (readyPipe) {
                dup2(fds[1], 1);
                close(fds[0]);
                close(fds[1]);
            }
            execl(child, child, mode, static_cast<char*>(nullptr));
            _exit(127);
        }
        if (readyPipe) {
            close(fds[1]);
            *readyPipe = fds[0];
        }
        return pid;
    }

    // The exit code, 1000 + the signal for a child killed by one, or -1 for a child still running after
    // `limit` (which is then killed).
    int WaitExit(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(60))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return -1;
            }
            usleep(10000);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }

    // Runs a child to its end and splits its report into its parts.
    struct Report {
        std::string first;
        std::vector<std::string> raw;        // the stack as written before any symbol lookup
        std::vector<std::string> described;  // from the fault's description to the end
        std::string last;
    };
    // Runs `child` in `mode`, which must end with exit code 0 within `limit`, and reads its report.
    Report RunToTheEnd(const char* mode, const char* child, std::chrono::milliseconds limit)
    {
        const pid_t pid = Spawn(mode, nullptr, false, child);
        EXPECT_GT(pid, 0);
        if (pid > 0) {
            EXPECT_EQ(WaitExit(pid, limit), 0) << mode;
        }
        return ReadReport();
    }

    // The report opens with the exception `code`, holds a raw stack and ends with its last line.
    static void ExpectReportFrame(const Report& report, const std::string& code)
    {
        EXPECT_EQ(report.first.rfind("程序发生异常:类型: " + code, 0), 0u) << report.first;
        EXPECT_FALSE(report.raw.empty());
        EXPECT_EQ(report.last, "强制程序退出");
    }

    Report ReadReport()
    {
        Report report;
        const auto lines = Log();
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string m = Message(lines[i]);
            if (i == 0)
                report.first = m;
            else if (report.described.empty() && m.rfind("调用地址:", 0) == 0)
                report.raw.push_back(m);
            else
                report.described.push_back(m);
        }
        if (!report.described.empty()) {
            report.last = report.described.back();
            report.described.pop_back();
        }
        return report;
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

    for (const auto& line : Log())
        EXPECT_EQ(line.rfind("[", 0), 0u) << line;
    const Report report = ReadReport();
    EXPECT_EQ(report.first.rfind("程序发生异常:类型: 0xc0000005  地址: 0x", 0), 0u) << report.first;
    // The raw stack: the faulting instruction first, each frame with the file it lies in.
    ASSERT_GE(report.raw.size(), 3u);
    EXPECT_LE(report.raw.size(), 10u);
    const std::string faultAddress = report.first.substr(report.first.rfind("0x") + 2);
    std::string upper = faultAddress;
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(report.raw[0].rfind("调用地址:0x" + upper + " /", 0), 0u) << report.raw[0];
    EXPECT_NE(report.raw[0].find("crash_child+0x"), std::string::npos) << report.raw[0];

    ASSERT_GE(report.described.size(), 2u);
    const std::string& where = report.described[0];
    EXPECT_EQ(where.rfind("地址描述:函数(CrashByNullPointer", 0), 0u) << where;
    EXPECT_NE(where.find("crash_child.cpp)(" + std::to_string(FaultingLine()) + ")"), std::string::npos) << where;
    EXPECT_EQ(report.described[1], "调用堆栈:");
    EXPECT_EQ(report.last, "强制程序退出");

    int addresses = 0;
    bool sawCaller = false, sawMain = false, sawModule = false;
    for (size_t i = 2; i < report.described.size(); ++i) {
        const std::string& m = report.described[i];
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

// glibc finds its heap corrupted inside malloc and aborts with the allocator's lock held while other
// threads run: the report's first part is there, the watchdog ends what needs the allocator, and the
// report still ends with its last line.
TEST_F(CrashHandlerTest, HeapCorruptedInsideMallocStillEndsTheReport)
{
    const Report report = RunToTheEnd("heap", KORVEL_PLAIN_CRASH_CHILD, std::chrono::seconds(5));
    ExpectReportFrame(report, "0x40000015");
}

// A stack overflow on a thread the program started: its own signal stack carries the report.
TEST_F(CrashHandlerTest, StackOverflowOnASecondThreadIsReported)
{
    const Report report = RunToTheEnd("overflow", KORVEL_PLAIN_CRASH_CHILD, std::chrono::seconds(30));
    ExpectReportFrame(report, "0xc0000005");
    ASSERT_FALSE(report.described.empty());
    EXPECT_EQ(report.described[0].rfind("地址描述:函数(Recurse", 0), 0u) << report.described[0];
}

// The symbol lookup itself faults: the process ends at once, with the raw report and the last line.
TEST_F(CrashHandlerTest, CrashWhileReportingEndsAtOnce)
{
    const Report report = RunToTheEnd("lookup", KORVEL_CRASH_CHILD, std::chrono::milliseconds(1500));
    ExpectReportFrame(report, "0xc0000005");
    for (const auto& m : report.described)
        EXPECT_NE(m.rfind("地址描述:", 0), 0u) << "the lookup crashed before any description: " << m;
}

// With the sanitizer's own fault handling left on, the handler installed after it still writes the report.
TEST_F(CrashHandlerTest, HandlerInstalledAfterTheSanitizerWins)
{
    const pid_t pid = Spawn("null", nullptr, true);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitExit(pid), 0);
    const Report report = ReadReport();
    EXPECT_EQ(report.first.rfind("程序发生异常:类型: 0xc0000005", 0), 0u);
    EXPECT_EQ(report.last, "强制程序退出");
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
