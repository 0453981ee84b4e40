#pragma once
// The two lyric lines: each drawn in the key colour (pure red) on black into a 320x20 bottom-up BGR
// band, then merged into the bottom 40 rows of the frame.
#include <QFont>
#include <QString>

#include <cstdint>

constexpr int kBandWidth = 320;
constexpr int kBandRows = 20;
constexpr int kBandStride = kBandWidth * 3;
constexpr int kBandBytes = kBandStride * kBandRows;

struct DisplayLine {
    QString text;
    uint8_t pixels[kBandBytes] = {};
    int width = 0;  // of the text, pixels

    QString drawnText;  // what `pixels` shows
    bool drawn = false;
};

// Draws lines with a CJK-capable face whose line fits the band. Needs a QGuiApplication.
class CLyricPainter {
public:
    CLyricPainter();
    const QFont& Font() const { return font_; }

    // Measures the text and draws it at x 10 (upper line) or right-aligned 10 pixels from the right
    // edge (lower line). A line whose text has not changed keeps its pixels.
    void Render(DisplayLine& line, bool upper) const;

private:
    QFont font_;
    int ascent_ = 0;
};

// Lower band onto frame rows 0..19 from the bottom, upper band onto rows 20..39. Every pixel of both
// bands becomes (frame + band) / 2, except key-coloured pixels of the current line (`selector` 1
// upper, 2 lower) in the columns strictly between `origin` and `origin + sung`, which become
// (200, 200, 200).
void MergeLyricBands(uint8_t* frame, const uint8_t* upper, const uint8_t* lower, int selector, int origin,
                     int sung);
