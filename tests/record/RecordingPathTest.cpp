#include "record/RecordingPath.h"

#include <gtest/gtest.h>

TEST(RecordFilePath, NamesStayInsideTheRecordFolder)
{
    const struct {
        const char* folder;
        const char* name;
        const char* path;
    } cases[] = {
        {"/home/u/Record", "demo", "/home/u/Record/demo.wmv"},
        {"/home/u/Record/", "demo", "/home/u/Record/demo.wmv"},
        {"/home/u/Record", "我的录像 1", "/home/u/Record/我的录像 1.wmv"},
        {"/home/u/Record", "", "/home/u/Record/.wmv"},  // an empty name still records, as ".wmv"
        {"/home/u/Record", "..demo", "/home/u/Record/..demo.wmv"},
        {"/home/u/Record", "../etc/x", ""},
        {"/home/u/Record", "a\\b", ""},
        {"/home/u/Record", "..", ""},
        {"/home/u/Record", ".", ""},
        {"/home/u/Record", "line\nbreak", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordFilePath(c.folder, c.name), c.path) << c.name;
}
