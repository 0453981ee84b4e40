// Lyric scripts as the karaoke engine loads them. Every row keeps its own numbers straight (duration,
// count, no brackets left), and a row written back in the script's fixed layout reads back the same:
// the same times in the same order, the same text and durations.
#include "FuzzSupport.h"

#include "ktv/LyricFile.h"
#include "fileio/ProgramFolder.h"

#include <QStringList>

#include <algorithm>

namespace {

// The whole seconds of the layout's "mm:ss.xxx" end at 99:59.
constexpr uint32_t kLargestTime = (99 * 60 + 59) * 1000;

QString TimeText(uint32_t ms)
{
    const uint32_t seconds = ms / 1000;
    return QString::asprintf("%02u:%02u.000", seconds / 60, seconds % 60);
}

// A row the layout can hold: whole seconds up to 99:59 (each second field is read whole) and at most
// as many durations as the row keeps.
bool Writable(const LyricRow& row)
{
    return row.start % 1000 == 0 && row.end % 1000 == 0 && row.start <= kLargestTime && row.end <= kLargestTime
        && row.count <= LyricRow::kMaxDurations;
}

QString RowLine(const LyricRow& row)
{
    QString text = row.text;
    text.replace(u'\'', QStringLiteral("''"));
    QStringList durations;
    for (int k = 0; k < row.count; ++k)
        durations << QString::number(row.durations[k]);
    return QStringLiteral("karaoke.add('%1', '%2', '%3', '%4');")
        .arg(TimeText(row.start), TimeText(row.end), text, durations.join(u','));
}

void CheckRow(const LyricRow& row)
{
    FUZZ_CHECK(row.duration == row.end - row.start, "a row's duration is not end - start");
    FUZZ_CHECK(row.count == row.text.size(), "a row's count is not its text's length");
    FUZZ_CHECK(!row.text.contains(u'[') && !row.text.contains(u']'), "a bracket stayed in a row's text");
    if (!Writable(row))
        return;
    LyricRow back;
    FUZZ_CHECK(ParseLyricRow(RowLine(row), back), "a row written in the layout is not read");
    FUZZ_CHECK(back.start == row.start && back.end == row.end, "a row's times changed or changed places");
    FUZZ_CHECK(back.text == row.text && back.count == row.count, "a row's text changed");
    FUZZ_CHECK(std::equal(row.durations, row.durations + row.count, back.durations), "a row's durations changed");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = ProgramFile("song.rar");
    WriteFuzzFile(path, data, size);
    CLyricReader reader;
    std::vector<LyricRow> rows;
    uint32_t timeOffset = 5000;
    const bool recognised = LoadLyricFile(reader, path, rows, timeOffset);
    FUZZ_CHECK(recognised || rows.empty(), "rows from a file that is no karaoke script");
    FUZZ_CHECK(timeOffset <= 9999, "a time offset of more than four digits");
    for (const LyricRow& row : rows)
        CheckRow(row);
    return 0;
}
