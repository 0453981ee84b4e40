#include "ktv/LyricFile.h"

#include "settings/CrtNumbers.h"
#include "fileio/AtomicFile.h"
#include "fileio/TextEncoding.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// The C runtime's integer read over `length` units of the line starting at `pos`.
int32_t IntAt(const QString& line, qsizetype pos, qsizetype length)
{
    if (pos < 0 || pos >= line.size())
        return 0;
    return WToI(line.mid(pos, length).toStdString());
}

// Blanks, then decimal digits up to the first other character.
uint32_t UnsignedAt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10 + uint32_t(text[i].unicode() - u'0');
    return value;
}

uint32_t Milliseconds(int32_t minutes, int32_t seconds)
{
    return (uint32_t(minutes) * 60u + uint32_t(seconds)) * 1000u;
}

bool HasKeywordFrom7(const QString& line, const char* keyword)
{
    return line.indexOf(QLatin1String(keyword), 7) >= 0;
}

}  // namespace

bool CLyricReader::Open(const std::string& path)
{
    Close();
    auto bytes = ReadWholeFile(path, kMaxFileBytes);
    if (!bytes)
        return false;
    bytes_ = std::move(*bytes);
    if (bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos_ = 3;
    utf8_ = IsValidUtf8(std::string_view(bytes_).substr(pos_));
    open_ = true;
    return true;
}

void CLyricReader::Close()
{
    bytes_.clear();
    bytes_.shrink_to_fit();
    pos_ = 0;
    open_ = false;
}

bool CLyricReader::ReadLine(QString& line)
{
    if (!open_ || AtEnd())
        return false;
    const std::string_view all(bytes_);
    size_t end = all.find('\n', pos_);
    const size_t next = end == std::string_view::npos ? all.size() : end + 1;
    if (end == std::string_view::npos)
        end = all.size();
    std::string_view raw = all.substr(pos_, end - pos_);
    pos_ = next;
    if (!raw.empty() && raw.back() == '\r')
        raw.remove_suffix(1);

    if (utf8_) {
        const std::string cut = CutToUtf8Bytes(raw, kMaxLineBytes);
        line = QString::fromUtf8(cut.data(), qsizetype(cut.size()));
    } else {
        raw = raw.substr(0, kMaxLineBytes);
        QStringDecoder gb18030("GB18030");
        line = gb18030.decode(QByteArrayView(raw.data(), qsizetype(raw.size())));
    }
    return true;
}

bool ParseLyricRow(const QString& line, LyricRow& row)
{
    const qsizetype q = line.indexOf(u'\'', 10);
    if (q < 0)
        return false;
    row.start = Milliseconds(IntAt(line, q + 1, 2), IntAt(line, q + 4, 6));
    row.end = Milliseconds(IntAt(line, q + 14, 2), IntAt(line, q + 17, 6));
    row.duration = row.end - row.start;

    const qsizetype t = line.indexOf(u'\'', q + 24);
    if (t < 0)
        return false;
    QString text;
    qsizetype i = t + 1;
    for (;;) {
        const qsizetype quote = line.indexOf(u'\'', i);
        if (quote < 0) {  // never closed: the text runs to the line end
            text += line.mid(i);
            i = line.size();
            break;
        }
        text += line.mid(i, quote - i);
        if (quote + 1 < line.size() && line[quote + 1] == u'\'') {
            text += u'\'';
            i = quote + 2;
            continue;
        }
        i = quote + 1;
        break;
    }
    text.remove(u'[');
    text.remove(u']');
    row.text = text;
    row.count = int(text.size());

    std::fill(std::begin(row.durations), std::end(row.durations), 0);
    const qsizetype open = line.indexOf(u'\'', i);
    if (open < 0)
        return true;
    const qsizetype close = line.indexOf(u'\'', open + 1);
    const QString field = line.mid(open + 1, close < 0 ? -1 : close - open - 1);
    qsizetype from = 0;
    const int kept = std::min(row.count, LyricRow::kMaxDurations);
    for (int k = 0; k < kept; ++k) {
        const bool last = k == row.count - 1;
        qsizetype comma = last ? -1 : field.indexOf(u',', from);
        const QString value = comma < 0 ? field.mid(from) : field.mid(from, comma - from);
        row.durations[k] = WToI(value.toStdString());
        from = comma < 0 ? field.size() : comma + 1;
    }
    return true;
}

bool LoadLyricFile(CLyricReader& reader, const std::string& path, std::vector<LyricRow>& rows,
                   uint32_t& timeOffset)
{
    if (!reader.Open(path))
        return false;
    QString line;
    if (!reader.ReadLine(line) || !line.contains(QLatin1String("CreateKaraokeObject")))
        return false;
    while (reader.ReadLine(line)) {
        if (HasKeywordFrom7(line, "rows") || HasKeywordFrom7(line, "singer")
            || HasKeywordFrom7(line, "songname"))
            continue;
        if (HasKeywordFrom7(line, "TimeOffset")) {
            const qsizetype e = line.indexOf(u'=', 17);
            if (e >= 0)
                timeOffset = UnsignedAt(line.mid(e + 1, 4));
            continue;
        }
        if (line.contains(QLatin1String("karaoke.add"))) {
            LyricRow row;
            if (ParseLyricRow(line, row))
                rows.push_back(std::move(row));
        }
    }
    return true;
}
