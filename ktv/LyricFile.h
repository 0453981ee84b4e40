#pragma once
// Karaoke lyric scripts: a "CreateKaraokeObject" first line, then one karaoke.add(...) statement per
// timed row. Positions inside a line are UTF-16 units (QString indices).
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

struct LyricRow {
    static constexpr int kMaxDurations = 30;

    uint32_t start = 0;     // ms from the start of the lyric timeline
    uint32_t end = 0;       // ms
    QString text;           // brackets removed
    uint32_t duration = 0;  // end - start
    int count = 0;          // UTF-16 units in the text
    int durations[kMaxDurations] = {};  // per-character durations, ms; the first 30 are kept
};

// Reads a lyric file line by line. The file is UTF-8 when all of it is valid UTF-8, else GB18030; a
// line longer than 1023 bytes is cut to its first 1023 bytes and the rest of it is skipped.
class CLyricReader {
public:
    static constexpr size_t kMaxLineBytes = 1023;
    static constexpr size_t kMaxFileBytes = 16u << 20;  // far above any song's script

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return open_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // The next line without its line end; false at the end of the file.
    bool ReadLine(QString& line);

private:
    std::string bytes_;
    size_t pos_ = 0;
    bool utf8_ = true;
    bool open_ = false;
};

// Loads the rows of the lyric file at `path` through `reader` (left open, as the engine keeps it until
// its next reset). `timeOffset` is replaced when the file gives a TimeOffset. True when the file was
// recognised as a karaoke script.
bool LoadLyricFile(CLyricReader& reader, const std::string& path, std::vector<LyricRow>& rows,
                   uint32_t& timeOffset);

// Reads one karaoke.add line at its fixed positions; false when it has no time or text quote at all.
bool ParseLyricRow(const QString& line, LyricRow& row);
