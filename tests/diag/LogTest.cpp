#include "diag/LogManager.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <thread>
#include <vector>

namespace {

void PrintTo(CFileLogPrinter& printer, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrintTo(CFileLogPrinter& printer, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    printer.Print(0, 0, format, arguments);
    va_end(arguments);
}

std::tm Date(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

// Splits a log into its CR LF lines; each must start with "[MM-DD hh:mm:ss]:", which is dropped.
std::vector<std::string> Messages(const std::string& text)
{
    std::vector<std::string> messages;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "unterminated line";
        if (end == std::string::npos)
            break;
        const std::string line = text.substr(at, end - at);
        const char* shape = "[00-00 00:00:00]:";
        bool prefixed = line.size() >= 17;
        for (size_t i = 0; prefixed && i < 17; ++i)
            prefixed = shape[i] == '0' ? std::isdigit(static_cast<unsigned char>(line[i])) != 0 : line[i] == shape[i];
        EXPECT_TRUE(prefixed) << line;
        messages.push_back(prefixed ? line.substr(17) : line);
        at = end + 2;
    }
    return messages;
}

class LogTest : public ::testing::Test {
protected:
    std::string Base() const { return dir.path().toStdString() + "/Test"; }
    QTemporaryDir dir;
};

TEST_F(LogTest, LinesCarryTheTimePrefixAndEndInCrLf)
{
    const std::tm when = Date(2010, 3, 31, 14, 5, 9);
    {
        CFileLogPrinter printer(Base(), LOG_APPEND, [&] { return when; });
        PrintTo(printer, "plain 100%% text");
        PrintTo(printer, "code 0x%x at %s (%d)", 0xC0000005u, "main", 12);
        PrintTo(printer, "%s", "");
    }
    EXPECT_EQ(ReadFileBytes(Base() + ".log"),
              "[03-31 14:05:09]:plain 100% text\r\n"
              "[03-31 14:05:09]:code 0xc0000005 at main (12)\r\n"
              "[03-31 14:05:09]:\r\n");
}

TEST_F(LogTest, AppendKeepsEarlierRunsAndNoAppendStartsAfresh)
{
    for (int run = 0; run < 3; ++run) {
        CFileLogPrinter printer(Base(), LOG_APPEND | LOG_WRITE_THROUGH);
        PrintTo(printer, "run %d", run);
    }
    EXPECT_EQ(Messages(ReadFileBytes(Base() + ".log")), (std::vector<std::string>{"run 0", "run 1", "run 2"}));

    {
        CFileLogPrinter printer(Base(), 0);
        PrintTo(printer, "alone");
    }
    const std::string fresh = ReadFileBytes(Base() + ".log");
    EXPECT_EQ(fresh.find("run"), std::string::npos);
    EXPECT_NE(fresh.find("alone"), std::string::npos);
}

TEST_F(LogTest, DailyFileFollowsTheDate)
{
    std::tm now = Date(2010, 3, 31, 23, 59, 59);
    CFileLogPrinter printer(Base(), LOG_APPEND | LOG_DAILY, [&] { return now; });
    EXPECT_EQ(printer.FilePath(), Base() + ".2010-03-31.log");
    PrintTo(printer, "before midnight");
    now = Date(2010, 4, 1, 0, 0, 1);
    PrintTo(printer, "after midnight");
    EXPECT_EQ(printer.FilePath(), Base() + ".2010-04-01.log");
    EXPECT_EQ(ReadFileBytes(Base() + ".2010-03-31.log"), "[03-31 23:59:59]:before midnight\r\n");
    EXPECT_EQ(ReadFileBytes(Base() + ".2010-04-01.log"), "[04-01 00:00:01]:after midnight\r\n");
}

// A message longer than the line buffer is cut at a character boundary below 40960 bytes.
TEST_F(LogTest, LongMessagesAreCut)
{
    {
        CFileLogPrinter printer(Base(), 0, [] { return Date(2010, 3, 31, 1, 2, 3); });
        std::string chinese;
        for (int i = 0; i < 20000; ++i)
            chinese += "中";  // three bytes each: 60000 bytes
        PrintTo(printer, "x%s", chinese.c_str());
        PrintTo(printer, "after");
    }
    const std::string text = ReadFileBytes(Base() + ".log");
    const auto lines = text.find("\r\n");
    ASSERT_NE(lines, std::string::npos);
    const std::string first = text.substr(0, lines);
    const std::string message = first.substr(std::string("[03-31 01:02:03]:").size());
    EXPECT_LT(message.size(), CFileLogPrinter::kLineBuffer);
    EXPECT_GT(message.size(), CFileLogPrinter::kLineBuffer - 4);
    EXPECT_EQ((message.size() - 1) % 3, 0u) << "cut inside a character";
    EXPECT_NE(text.find("[03-31 01:02:03]:after\r\n"), std::string::npos);
}

TEST_F(LogTest, LinesOfThreadsNeverInterleave)
{
    {
        CFileLogPrinter printer(Base(), 0);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 200; ++i)
                    PrintTo(printer, "thread %d line %d %s", t, i, "payload payload payload");
            });
        for (auto& thread : threads)
            thread.join();
    }
    const auto messages = Messages(ReadFileBytes(Base() + ".log"));
    ASSERT_EQ(messages.size(), 800u);
    std::vector<int> next(4, 0);
    for (const auto& m : messages) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(m.c_str(), "thread %d line %d", &t, &i), 2) << m;
        ASSERT_TRUE(t >= 0 && t < 4);
        EXPECT_EQ(i, next[size_t(t)]++);
        EXPECT_EQ(m, "thread " + std::to_string(t) + " line " + std::to_string(i) + " payload payload payload");
    }
}

TEST_F(LogTest, UnwritableLogFailsQuietly)
{
    CFileLogPrinter printer(dir.path().toStdString() + "/missing/folder/Test", LOG_APPEND);
    EXPECT_FALSE(printer.IsOpen());
    PrintTo(printer, "into nothing");
    CLogManager manager(dir.path().toStdString() + "/missing/Log");
    EXPECT_EQ(manager.Print(0, 0, "nothing %d", 1), 1);
}

TEST(LogManager, WritesImportantErrorLogInTheProgramFolder)
{
    TempHome home;
    {
        CLogManager manager;
        EXPECT_EQ(manager.Print(1, 2, "first %s", "line"), 1);
    }
    {
        CLogManager manager;
        EXPECT_EQ(manager.Print(1, 2, "second"), 1);
    }
    EXPECT_EQ(Messages(ReadFileBytes(home.File("ImportantError.log"))),
              (std::vector<std::string>{"first line", "second"}));
}

TEST(NameObject, ClassRecordsNameTheFamily)
{
    struct Case {
        const CClassRecord& record;
        const char* name;
        const CClassRecord* base;
        bool creatable;
    };
    const Case cases[] = {
        {CNameObject::classRecord, "CNameObject", nullptr, false},
        {IFileAccessor::classRecord, "IFileAccessor", &CNameObject::classRecord, false},
        {CPosixFileAccessor::classRecord, "CPosixFileAccessor", &IFileAccessor::classRecord, true},
        {CFileLogPrinter::classRecord, "CFileLogPrinter", &CNameObject::classRecord, false},
        {CLogManager::classRecord, "CLogManager", &CNameObject::classRecord, true},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.record.name, c.name);
        EXPECT_EQ(c.record.base, c.base) << c.name;
        CNameObject* made = CreateByRecord(c.record);
        EXPECT_EQ(made != nullptr, c.creatable) << c.name;
        if (made) {
            EXPECT_EQ(made->GetClassRecord(), &c.record);
            EXPECT_TRUE(made->IsKindOf(CNameObject::classRecord));
            EXPECT_TRUE(made->IsValid());
            EXPECT_EQ(made->Release(), 0);
        }
    }
    CPosixFileAccessor accessor;
    EXPECT_TRUE(accessor.IsKindOf(IFileAccessor::classRecord));
    EXPECT_FALSE(accessor.IsKindOf(CLogManager::classRecord));
}

TEST(NameObject, ReferenceCountCopyAndMove)
{
    auto* object = new CNameObject("first");
    EXPECT_EQ(object->AddRef(), 2);
    EXPECT_EQ(object->Release(), 1);
    object->ownedValue = 7;
    object->furtherValue = 9;

    CNameObject copy;
    copy.CopyFrom(*object);
    EXPECT_EQ(copy.Name(), "first");
    EXPECT_EQ(copy.furtherValue, 9);
    EXPECT_EQ(copy.ownedValue, 0);

    CNameObject moved;
    moved.MoveFrom(*object);
    EXPECT_EQ(moved.Name(), "first");
    EXPECT_EQ(moved.ownedValue, 7);
    EXPECT_EQ(moved.furtherValue, 9);
    EXPECT_EQ(object->ownedValue, 0);
    EXPECT_EQ(object->Release(), 0);  // deleted; ASan would report a leak otherwise
}

TEST_F(LogTest, PosixFileAccessorModes)
{
    const std::string path = dir.path().toStdString() + "/data.bin";
    CPosixFileAccessor file;
    EXPECT_FALSE(file.Open(path.c_str(), FILE_READ_WRITE));  // open existing: there is none
    ASSERT_TRUE(file.Open(path.c_str(), FILE_READ_WRITE | FILE_CREATE_NEW));
    EXPECT_EQ(file.Write("hello world", 11), 11u);
    EXPECT_EQ(file.GetSize(), 11);
    EXPECT_TRUE(file.IsAtEnd());
    ASSERT_TRUE(file.Seek(6, 0, FILE_FROM_BEGIN));
    char word[8] = {};
    EXPECT_EQ(file.Read(word, 8), 5u);
    EXPECT_STREQ(word, "world");
    ASSERT_TRUE(file.Seek(uint32_t(-5), -1, FILE_FROM_END));  // -5 as high:low
    EXPECT_EQ(file.GetPosition(), 6);
    EXPECT_FALSE(file.Seek(0, 0, 3));
    file.Close();

    EXPECT_FALSE(file.Open(path.c_str(), FILE_READ_WRITE | FILE_CREATE_NEW));  // exists
    ASSERT_TRUE(file.Open(path.c_str(), 0));                                   // read only
    EXPECT_EQ(file.Write("x", 1), 0u);
    ASSERT_TRUE(file.Open(path.c_str(), FILE_READ_WRITE | FILE_OPEN_ALWAYS));
    EXPECT_EQ(file.GetSize(), 11);
    ASSERT_TRUE(file.Open(path.c_str(), FILE_READ_WRITE | FILE_TRUNCATE_EXISTING));
    EXPECT_EQ(file.GetSize(), 0);
    ASSERT_TRUE(file.Open(path.c_str(), FILE_READ_WRITE | FILE_CREATE_ALWAYS | FILE_WRITE_THROUGH |
                                            FILE_SEQUENTIAL_SCAN));
    EXPECT_EQ(file.Write("abc", 3), 3u);
    file.Close();
    EXPECT_EQ(file.Read(word, 1), 0u);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(ReadFileBytes(path), "abc");
}

}  // namespace
