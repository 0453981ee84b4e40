#include "ktv/LyricFile.h"

#include "support/Files.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char* const kHeader =
    "karaoke := CreateKaraokeObject;\r\n"
    "karaoke.rows := 2;\r\n"
    "karaoke.clear;\r\n"
    "karaoke.songname := '小星星';\r\n"
    "karaoke.singer := '童谣';\r\n";

class LyricFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes)
    {
        const std::string path = dir_.path().toStdString() + "/song" + std::to_string(++files_) + ".rar";
        WriteFileBytes(path, bytes);
        return path;
    }

    bool Load(const std::string& bytes)
    {
        rows_.clear();
        return LoadLyricFile(reader_, Write(bytes), rows_, offset_);
    }

    QTemporaryDir dir_;
    int files_ = 0;
    CLyricReader reader_;
    std::vector<LyricRow> rows_;
    uint32_t offset_ = 5000;
};

TEST_F(LyricFileTest, ReadsTypicalScript)
{
    ASSERT_TRUE(Load(std::string(kHeader) + "karaoke.TimeOffset := 300;\r\n"
                     "karaoke.add('00:27.487', '00:32.068', '一闪一闪', '347,373,1077,320');\r\n"
                     "karaoke.add('01:02.999', '01:05.001', 'It''s [ab]c', '1, 2 ,3,4,5, 6');\r\n"));
    EXPECT_EQ(offset_, 300u);
    ASSERT_EQ(rows_.size(), 2u);

    EXPECT_EQ(rows_[0].start, 27000u);
    EXPECT_EQ(rows_[0].end, 32000u);
    EXPECT_EQ(rows_[0].duration, 5000u);
    EXPECT_EQ(rows_[0].text, QString::fromUtf8("一闪一闪"));
    EXPECT_EQ(rows_[0].count, 4);
    EXPECT_EQ((std::vector<int>(rows_[0].durations, rows_[0].durations + 5)),
              (std::vector<int>{347, 373, 1077, 320, 0}));

    EXPECT_EQ(rows_[1].start, 62000u);
    EXPECT_EQ(rows_[1].end, 65000u);
    EXPECT_EQ(rows_[1].text, QString("It's abc"));
    EXPECT_EQ(rows_[1].count, 8);
    // Eight values are asked for but the field holds six; the last one takes the rest of the field.
    EXPECT_EQ((std::vector<int>(rows_[1].durations, rows_[1].durations + 8)),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 0, 0}));
}

struct RowCase {
    const char* line;
    uint32_t start, end;
    const char* text;
    int count;
};

TEST_F(LyricFileTest, RowFieldsAtFixedPositions)
{
    const RowCase cases[] = {
        // fractions of seconds are dropped
        {"karaoke.add('00:27.487', '00:27.999', 'a', '5');", 27000, 27000, "a", 1},
        {"karaoke.add('10:00.000', '10:01.500', 'a', '5');", 600000, 601000, "a", 1},
        // a doubled apostrophe stands for one, also at the end of the text
        {"karaoke.add('00:01.000', '00:02.000', 'don''t', '1,1,1,1,1');", 1000, 2000, "don't", 5},
        {"karaoke.add('00:01.000', '00:02.000', 'end''', '1,1,1,1');", 1000, 2000, "end'", 4},
        {"karaoke.add('00:01.000', '00:02.000', '''''', '1,1');", 1000, 2000, "''", 2},
        // brackets group characters but every character counts
        {"karaoke.add('00:01.000', '00:02.000', '[ab]', '1,1');", 1000, 2000, "ab", 2},
        {"karaoke.add('00:01.000', '00:02.000', '[春天][来了]', '1,1,1,1');", 1000, 2000, "春天来了", 4},
        // an unclosed text runs to the line end
        {"karaoke.add('00:01.000', '00:02.000', 'open", 1000, 2000, "open", 4},
        // another layout is still read at the fixed positions
        {"karaoke.add('0:01.000','0:02.000','x','1');", 1000, 120000, ",", 1},
        // an end before the start wraps like the unsigned arithmetic it is
        {"karaoke.add('00:05.000', '00:02.000', 'x', '1');", 5000, 2000, "x", 1},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.line);
        LyricRow row;
        ASSERT_TRUE(ParseLyricRow(QString::fromUtf8(c.line), row));
        EXPECT_EQ(row.start, c.start);
        EXPECT_EQ(row.end, c.end);
        EXPECT_EQ(row.duration, c.end - c.start);
        EXPECT_EQ(row.text, QString::fromUtf8(c.text));
        EXPECT_EQ(row.count, c.count);
    }
}

TEST_F(LyricFileTest, RowLinesWithoutQuotesAreDropped)
{
    for (const char* line : {"karaoke.add;", "karaoke.add('00:01.000')", "karaoke.add('00:01.000', '00:02"}) {
        LyricRow row;
        EXPECT_FALSE(ParseLyricRow(QString::fromUtf8(line), row)) << line;
    }
}

TEST_F(LyricFileTest, KeywordsAreTestedInOrder)
{
    ASSERT_TRUE(Load(std::string(kHeader) +
                     "karaoke.add('00:01.000', '00:02.000', 'rows', '1,1,1,1');\n"
                     "karaoke.add('00:01.000', '00:02.000', 'singer', '1,1,1,1,1,1');\n"
                     "karaoke.add('00:01.000', '00:02.000', 'songname', '1');\n"
                     "karaoke.add('00:01.000', '00:02.000', 'TimeOffset', '1');\n"
                     "rows karaoke.add('00:03.000', '00:04.000', 'kept', '1,1,1,1');\n"
                     "karaoke.add('00:05.000', '00:06.000', 'also', '1,1,1,1');\n"
                     "something else entirely\n"));
    ASSERT_EQ(rows_.size(), 2u);
    EXPECT_EQ(rows_[0].text, QString("kept"));
    EXPECT_EQ(rows_[1].text, QString("also"));
    // The TimeOffset row line has no "=" at index 17 or later: the offset stays.
    EXPECT_EQ(offset_, 5000u);
}

TEST_F(LyricFileTest, TimeOffsetReadsAtMostFourCharacters)
{
    const struct {
        const char* line;
        uint32_t offset;
    } cases[] = {
        {"karaoke.TimeOffset := 300;", 300},
        {"karaoke.TimeOffset:=1500;", 1500},
        {"karaoke.TimeOffset := 1500;", 150},  // the blank is one of the four
        {"karaoke.TimeOffset := 99999;", 999},
        {"karaoke.TimeOffset := -20;", 0},
        {"karaoke.TimeOffset := ;", 0},
        {"karaoke.TimeOffset", 5000},  // no "=": unchanged
        {"k.TimeOffset = 700;", 5000},      // the keyword before index 7 does not count
        {"k=1234 TimeOffset 700;", 5000},   // nor a "=" before index 17
        {"x=1;   TimeOffset := 700;", 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        offset_ = 5000;
        ASSERT_TRUE(Load(std::string(kHeader) + c.line + "\n"));
        EXPECT_EQ(offset_, c.offset);
        EXPECT_TRUE(rows_.empty());
    }
}

TEST_F(LyricFileTest, KeepsThirtyDurations)
{
    std::string text, durations;
    for (int i = 0; i < 40; ++i) {
        text += "x";
        durations += (i ? "," : "") + std::to_string(100 + i);
    }
    ASSERT_TRUE(Load(std::string(kHeader) + "karaoke.add('00:01.000', '00:09.000', '" + text + "', '" +
                     durations + "');\n"));
    ASSERT_EQ(rows_.size(), 1u);
    EXPECT_EQ(rows_[0].count, 40);
    EXPECT_EQ(rows_[0].durations[0], 100);
    EXPECT_EQ(rows_[0].durations[29], 129);
}

TEST_F(LyricFileTest, LongLinesAreCutAt1023Bytes)
{
    // 400 three-byte characters: the cut falls inside a character and keeps 341 whole ones.
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "星";
    ASSERT_TRUE(Load(std::string(kHeader) + "karaoke.add('00:01.000', '00:02.000', '" + text +
                     "', '1');\nkaraoke.add('00:03.000', '00:04.000', 'next', '1');\n"));
    ASSERT_EQ(rows_.size(), 2u);
    EXPECT_EQ(rows_[0].count, (1023 - 39) / 3);
    EXPECT_EQ(rows_[1].text, QString("next"));
    EXPECT_EQ(rows_[1].start, 3000u);
}

TEST_F(LyricFileTest, Gb18030Files)
{
    QStringEncoder gb("GB18030");
    const QByteArray bytes = gb.encode(QString::fromUtf8(std::string(kHeader).c_str()) +
                                       QString::fromUtf8("karaoke.add('00:01.000', '00:02.000', '满天都是', '1,2,3,4');\n"));
    ASSERT_TRUE(Load(bytes.toStdString()));
    ASSERT_EQ(rows_.size(), 1u);
    EXPECT_EQ(rows_[0].text, QString::fromUtf8("满天都是"));
    EXPECT_EQ(rows_[0].durations[3], 4);
}

TEST_F(LyricFileTest, UnrecognisedFilesGiveNoRows)
{
    const std::string row = "karaoke.add('00:01.000', '00:02.000', 'x', '1');\n";
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 131 + 7);
    const struct {
        const char* what;
        std::string bytes;
        bool recognised;
        size_t rows;
    } cases[] = {
        {"empty", "", false, 0},
        {"no marker", "karaoke := Something;\n" + row, false, 0},
        {"binary", binary, false, 0},
        {"binary with the marker", "CreateKaraokeObject\n" + binary + "\n" + row, true, 1},
        {"marker only, no line end", "CreateKaraokeObject", true, 0},
        {"truncated row", std::string(kHeader) + "karaoke.add('00:01.0", true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Load(c.bytes), c.recognised);
        EXPECT_EQ(rows_.size(), c.rows);
    }
    rows_.clear();
    EXPECT_FALSE(LoadLyricFile(reader_, dir_.path().toStdString() + "/missing.rar", rows_, offset_));
    EXPECT_FALSE(LoadLyricFile(reader_, dir_.path().toStdString(), rows_, offset_));
    EXPECT_TRUE(rows_.empty());
}

TEST_F(LyricFileTest, HugeFilesAreRefused)
{
    std::string bytes = std::string(kHeader) + "karaoke.add('00:01.000', '00:02.000', 'x', '1');\n";
    bytes.resize(CLyricReader::kMaxFileBytes + 1, '\n');
    EXPECT_FALSE(Load(bytes));
    EXPECT_TRUE(rows_.empty());
}

}  // namespace
