#include "record/RecordReport.h"
#include "record/RecordingPath.h"

#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

TEST(RecordReport, SizeInMebibytesAndTheName)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const struct {
        size_t bytes;
        const char* size;
    } cases[] = {{3145728, "3.000000"}, {0, "0.000000"}, {1000, "0.000954"}, {1572864 + 1, "1.500001"}};
    for (const auto& c : cases) {
        const std::string path = folder + "/录像.wmv";
        WriteFileBytes(path, std::string(c.bytes, 'x'));
        EXPECT_EQ(RecordReportText(path), std::string("文件大小为：") + c.size + "M， 文件名为：" + path) << c.bytes;
    }
    // A file that is missing, or a folder, is reported as unreadable, not as an empty file.
    for (const std::string& path : {folder + "/gone.wmv", folder}) {
        const std::string text = RecordReportText(path);
        EXPECT_EQ(text.find("文件大小为"), std::string::npos) << path;
        EXPECT_NE(text.find("无法读取"), std::string::npos) << path;
        EXPECT_NE(text.find(path), std::string::npos) << path;
    }
}

TEST(RecordReport, FolderOfTheFile)
{
    EXPECT_EQ(FolderOfFile("/home/u/Record/a.wmv"), "/home/u/Record");
    EXPECT_EQ(FolderOfFile("/a.wmv"), "/");
    EXPECT_EQ(FolderOfFile("a.wmv"), ".");
}

TEST(RecordName, EmptyRefusedExistingAndFresh)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    WriteFileBytes(folder + "/old.wmv", "x");
    const struct {
        const char* name;
        RecordNameCheck check;
        const char* file;  // under the folder; null for no path
    } cases[] = {
        {"", RecordNameCheck::Empty, nullptr},
        {"../escape", RecordNameCheck::Refused, nullptr},
        {"..", RecordNameCheck::Refused, nullptr},
        {"old", RecordNameCheck::Exists, "old.wmv"},
        {"新的", RecordNameCheck::Fresh, "新的.wmv"},
    };
    for (const auto& c : cases) {
        std::string path = "left over";
        EXPECT_EQ(CheckRecordName(folder, c.name, path), c.check) << c.name;
        EXPECT_EQ(path, c.file ? folder + "/" + c.file : std::string()) << c.name;
    }
}
