#include "settings/ProfileFile.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(ProfileFile, ReadsWithoutRegardToCaseAndTrims)
{
    TempHome home;
    const std::string path = home.File("t.ini");
    WriteFileBytes(path,
                   "; comment\r\n[other]\r\nkey=wrong\r\n[ Main ]\r\n  HelpURL  =  http://h/  \r\nQuoted=\"a b\"\r\n"
                   "empty=\r\n[main]\r\nSecond=ignored\r\n");
    const CProfileFile ini(path);
    EXPECT_EQ(ini.GetString("MAIN", "helpurl", "d"), "http://h/");
    EXPECT_EQ(ini.GetString("Main", "Quoted", "d"), "a b");
    EXPECT_EQ(ini.GetString("Main", "empty", "d"), "");
    EXPECT_EQ(ini.GetString("Main", "missing", "d"), "d");
    EXPECT_EQ(ini.GetString("Main", "Second", "d"), "d");  // only the first section of a name counts
    EXPECT_EQ(ini.GetString("none", "key", "d"), "d");
}

TEST(ProfileFile, CutsValuesTo259Units)
{
    TempHome home;
    const std::string path = home.File("t.ini");
    WriteFileBytes(path, "[s]\nk=" + std::string(300, 'x') + "\nc=" + std::string(200, 'a') + std::string(100, 'z') +
                             "\n");
    const CProfileFile ini(path);
    EXPECT_EQ(ini.GetString("s", "k", ""), std::string(259, 'x'));
    EXPECT_EQ(ini.GetString("s", "missing", std::string(400, 'y')), std::string(259, 'y'));
}

TEST(ProfileFile, WritesInPlaceAndKeepsOtherLines)
{
    TempHome home;
    const std::string path = home.File("t.ini");
    WriteFileBytes(path, "; keep me\n[Main]\nA=1\nhelpurl=old\n\n[Next]\nB=2\n");
    CProfileFile ini(path);
    ini.SetString("main", "HelpURL", "new");
    ini.SetString("Main", "Added", "x");
    ini.SetString("Fresh", "K", "v\r\ninjected=1");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes(path), "; keep me\r\n[Main]\r\nA=1\r\nhelpurl=new\r\nAdded=x\r\n\r\n[Next]\r\nB=2\r\n"
                                   "[Fresh]\r\nK=v  injected=1\r\n");
}

TEST(ProfileFile, WrittenValuesReadBackAsTheyWere)
{
    TempHome home;
    const std::string path = home.File("t.ini");
    // Blanks around a value and one pair of enclosing quotes are dropped on reading: such values are
    // written in quotes.
    const std::string values[] = {"plain", " leading", "trailing\t", "\"quoted\"", "'single'", "\"", "''", "a\"b\"", ""};
    CProfileFile ini(path);
    for (size_t i = 0; i < std::size(values); ++i)
        ini.SetString("s", "k" + std::to_string(i), values[i]);
    ASSERT_TRUE(ini.Save());
    const CProfileFile back(path);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(back.GetString("s", "k" + std::to_string(i), "missing"), values[i]) << values[i];
    const std::string text = ReadFileBytes(path);
    EXPECT_NE(text.find("\r\nk0=plain\r\nk1=\" leading\"\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nk3=\"\"quoted\"\"\r\n"), std::string::npos) << text;
}

TEST(ProfileFile, ALoneCarriageReturnEndsALine)
{
    TempHome home;
    const std::string path = home.File("t.ini");
    WriteFileBytes(path, "[s]\rk=a\rj=b\r\n");
    CProfileFile ini(path);
    EXPECT_EQ(ini.GetString("s", "k", ""), "a");
    EXPECT_EQ(ini.GetString("s", "j", ""), "b");
    ini.SetString("s", "j", "c");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes(path), "[s]\r\nk=a\r\nj=c\r\n");
}

TEST(ProfileFile, CreatesAMissingFile)
{
    TempHome home;
    CProfileFile ini(home.File("new.ini"));
    EXPECT_EQ(ini.GetString("General", "k", "fallback"), "fallback");
    ini.SetString("General", "k", "v");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFileBytes(home.File("new.ini")), "[General]\r\nk=v\r\n");
}

TEST(ProfileFile, SurvivesBadInput)
{
    TempHome home;
    const std::string path = home.File("bad.ini");
    const std::string inputs[] = {
        "", std::string("\0\xff\xfe[\0]=\n", 9), "[unclosed\nk=v\n", "=\n[]\n=x\n", std::string(10 << 20, '['),
        "[s]\n" + std::string(100000, 'k') + "=v\n", "\xB2\xE2\xCA\xD4=[s]\n[s]\nk=\xB2\xE2\xCA\xD4\n",
    };
    for (const std::string& bytes : inputs) {
        WriteFileBytes(path, bytes);
        CProfileFile ini(path);
        ini.GetString("s", "k", "");
        ini.SetString("s", "k", "v");
        EXPECT_TRUE(ini.Save());
        EXPECT_EQ(CProfileFile(path).GetString("s", "k", ""), "v");
    }
    WriteFileBytes(path, "[s]\nk=\xB2\xE2\xCA\xD4\n");  // GB18030 "测试"
    EXPECT_EQ(CProfileFile(path).GetString("s", "k", ""), "测试");
}
