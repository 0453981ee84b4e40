#include "diag/MappedModules.h"
#include "diag/SignalSafeLine.h"
#include "diag/ThreadSignalStack.h"

#include <gtest/gtest.h>

#include <gnu/libc-version.h>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <latch>
#include <limits.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string Text(const CSignalSafeLine& line)
{
    return std::string(line.Text(), line.Length());
}

TEST(SignalSafeLine, NumbersAndTexts)
{
    const struct {
        CSignalSafeLine line;
        std::string expected;
    } cases[] = {
        {CSignalSafeLine{}.AddHex(0, false), "0"},
        {CSignalSafeLine{}.AddHex(0xC0000005, false), "c0000005"},
        {CSignalSafeLine{}.AddHex(0x7f3a00b1e9ULL, true), "7F3A00B1E9"},
        {CSignalSafeLine{}.AddHex(~0ULL, true), "FFFFFFFFFFFFFFFF"},
        {CSignalSafeLine{}.AddDecimal(0), "0"},
        {CSignalSafeLine{}.AddDecimal(1234), "1234"},
        {CSignalSafeLine{}.AddDecimal(-17), "-17"},
        {CSignalSafeLine{}.AddDecimal(INT64_MIN), "-9223372036854775808"},
        {CSignalSafeLine{}.AddTwoDigits(7).AddTwoDigits(42), "0742"},
        {CSignalSafeLine{}.Add("调用堆栈:").Add("ab", 1).Add(nullptr), "调用堆栈:a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(c.line), c.expected);

    // Text beyond the buffer is cut; the line still ends in CR LF.
    CSignalSafeLine longLine;
    for (int i = 0; i < 300; ++i)
        longLine.Add("0123456789");
    EXPECT_EQ(longLine.Length(), CSignalSafeLine::kCapacity);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_TRUE(longLine.WriteTo(fds[1]));
    close(fds[1]);
    std::string written;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        written.append(buffer, size_t(n));
    close(fds[0]);
    EXPECT_EQ(written.size(), CSignalSafeLine::kCapacity + 2);
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
    EXPECT_FALSE(CSignalSafeLine{}.Add("x").WriteTo(-1));
}

// The prefix is the log's own, "[MM-DD hh:mm:ss]:", in local time.
TEST(SignalSafeLine, TimePrefixMatchesTheLocalTime)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CSignalSafeLine line;
    line.AddTimePrefix(local.tm_gmtoff);
    const std::time_t after = std::time(nullptr);
    std::tm later{};
    localtime_r(&after, &later);
    char expected[2][32];
    std::snprintf(expected[0], sizeof expected[0], "[%02d-%02d %02d:%02d:%02d]:", local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    std::snprintf(expected[1], sizeof expected[1], "[%02d-%02d %02d:%02d:%02d]:", later.tm_mon + 1, later.tm_mday,
                  later.tm_hour, later.tm_min, later.tm_sec);
    const std::string text = Text(line);
    EXPECT_TRUE(text == expected[0] || text == expected[1]) << text;

    // Calendar edges, from the shift alone: 1970-01-01 00:00:00 is the origin; the offset turns "now"
    // into that moment.
    CSignalSafeLine origin;
    origin.AddTimePrefix(-long(std::time(nullptr)));
    EXPECT_EQ(Text(origin).substr(0, 7), "[01-01 ");
}

TEST(MappedPlaces, AddressesFindTheirFiles)
{
    char exe[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const auto heap = std::make_unique<int>(1);
    const uintptr_t addresses[] = {
        uintptr_t(&FindMappedPlaces),                           // this program
        uintptr_t(reinterpret_cast<void*>(&gnu_get_libc_version)),  // the C library
        uintptr_t(heap.get()),                                  // no file
    };
    MappedPlace places[3];
    ASSERT_TRUE(FindMappedPlaces(addresses, 3, places));
    EXPECT_STREQ(places[0].path, exe);
    EXPECT_GT(places[0].fileOffset, 0u);
    EXPECT_NE(std::string(places[1].path).find("libc"), std::string::npos) << places[1].path;
    EXPECT_STREQ(places[2].path, "");
}

TEST(ThreadSignalStack, EachThreadGetsItsOwn)
{
    const auto own = [] {
        UseOwnSignalStack();
        stack_t first{};
        sigaltstack(nullptr, &first);
        UseOwnSignalStack();
        stack_t second{};
        sigaltstack(nullptr, &second);
        EXPECT_EQ(first.ss_flags, 0);
        EXPECT_GE(first.ss_size, size_t(64 * 1024));
        EXPECT_EQ(first.ss_sp, second.ss_sp);  // a second call changes nothing
        return first.ss_sp;
    };
    void* a = nullptr;
    void* b = nullptr;
    // Both threads live until both have their stacks: a stack freed with its thread may be handed out
    // again to the next one.
    std::latch bothHaveOne(2);
    std::thread one([&] {
        a = own();
        bothHaveOne.arrive_and_wait();
    });
    std::thread two([&] {
        b = own();
        bothHaveOne.arrive_and_wait();
    });
    one.join();
    two.join();
    EXPECT_NE(a, nullptr);
    EXPECT_NE(a, b);
}

}  // namespace
