#include "fileio/AtomicFile.h"
#include "fileio/ProgramFolder.h"
#include "fileio/TextEncoding.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporary)
{
    TempHome home;
    const std::string path = home.File("a.txt");
    WriteFileBytes(path, "old");
    ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
    EXPECT_EQ(ReadFileBytes(path), "new contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Path()), {}), 1);
}

TEST(AtomicFile, FailureKeepsThePreviousFile)
{
    TempHome home;
    const std::string path = home.File("a.txt");
    WriteFileBytes(path, "old");
    // A file cannot be renamed over a folder: the save fails half-way, after the temporary was written.
    const std::string folder = home.File("folder");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(WriteFileAtomically(folder, "new"));
    EXPECT_FALSE(WriteFileAtomically(home.File("missing/a.txt"), "new"));
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Path()), {}), 2);
}

TEST(AtomicFile, ReadWholeFileBounds)
{
    TempHome home;
    WriteFileBytes(home.File("f"), std::string(1000, 'x'));
    EXPECT_EQ(ReadWholeFile(home.File("f"))->size(), 1000u);
    EXPECT_FALSE(ReadWholeFile(home.File("f"), 999));
    EXPECT_FALSE(ReadWholeFile(home.File("missing")));
    EXPECT_FALSE(ReadWholeFile(home.Path()));
}

TEST(TextEncoding, DecodesUtf8OrGb18030)
{
    EXPECT_EQ(DecodeSystemText("plain"), "plain");
    EXPECT_EQ(DecodeSystemText("\xEF\xBB\xBF宋体"), "宋体");
    EXPECT_EQ(DecodeSystemText("\xCB\xCE\xCC\xE5"), "宋体");  // GB18030 bytes
    EXPECT_EQ(DecodeSystemText("a\xFF"), "a\xEF\xBF\xBD");
    // Every mark at the start goes, in either encoding; one inside the text stays.
    EXPECT_EQ(DecodeSystemText("\xEF\xBB\xBF\xEF\xBB\xBF[s]\xEF\xBB\xBF"), "[s]\xEF\xBB\xBF");
    EXPECT_EQ(DecodeSystemText("\x84\x31\x95\x33[s]\xCB\xCE"), "[s]宋");
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));  // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_TRUE(IsValidUtf8("😀"));
}

TEST(TextEncoding, TrimsAsciiSpaceOnly)
{
    EXPECT_EQ(TrimSpace(" \t\r\n a b \v\f"), "a b");
    EXPECT_EQ(TrimSpace("   "), "");
    EXPECT_EQ(TrimSpace("\xE3\x80\x80x"), "\xE3\x80\x80x");  // an ideographic space is text
}

TEST(TextEncoding, CutsOnCharacterBoundaries)
{
    struct Case { std::string text; size_t max; std::string units, bytes; };
    const Case cases[] = {
        {"abc", 5, "abc", "abc"},
        {"abc", 2, "ab", "ab"},
        {"宋体", 1, "宋", ""},
        {"宋体", 4, "宋体", "宋"},
        {"a😀b", 2, "a", "a"},
        {"a😀b", 3, "a😀", "a"},
        {"a😀b", 5, "a😀b", "a😀"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CutToUtf16Units(c.text, c.max), c.units) << c.text << " " << c.max;
        EXPECT_EQ(CutToUtf8Bytes(c.text, c.max), c.bytes) << c.text << " " << c.max;
    }
}

TEST(ProgramFolder, FollowsKorvelHome)
{
    TempHome home;
    EXPECT_EQ(ProgramFolder(), home.Path());
    EXPECT_EQ(ProgramFile("x.ini"), home.Path() + "/x.ini");
    EXPECT_TRUE(MakeFolder(home.File("a/b/c")));
    EXPECT_TRUE(FolderExists(home.File("a/b/c")));
    EXPECT_FALSE(FolderExists(""));
}
