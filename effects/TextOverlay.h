#pragma once
// One line of text on a band across the whole picture: the band's colour shows at half strength, the
// text is opaque; the line stands still or scrolls a fixed number of pixels per frame.
#include "settings/Settings.h"

#include <QFont>
#include <QImage>
#include <QStaticText>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

class CTextOverlay {
public:
    // The face, height and style of a Windows logical font; the weight is the height's number.
    struct LogicalFont {
        std::string Face;
        int32_t Height = 0;
        bool Italic = false, Underline = false, StrikeOut = false;
    };

    // Faces tried, in this order, after the named one; fontconfig picks the first that is installed.
    static const QStringList kFallbackFaces;
    // Heights beyond this are drawn at this size (the band is clipped to the picture anyway).
    static constexpr int32_t kMaxFontHeight = 480;

    CTextOverlay();

    // The settings' font, text, colours, position and movement; switches the line on when the text is
    // not empty. The scroll position stays where it is.
    void SetTextLine(const SettingsRecord::AddFontGroup& settings);
    // Off, or on when there is text.
    void SetTextClose(bool close);
    // false when the height had to be brought into range.
    bool SetFont(const std::string& face, int32_t size, bool italic, bool underline, bool strikeout);

    bool Enabled() const;
    // The frame step: draws the band into the frame, moves the text, then pauses 20 ms.
    void DrawTextLine(uint8_t* frame);

    // The state as the frame step left it.
    int32_t TextX() const;
    int32_t ChangSpeed() const;
    int32_t FontHeight() const;
    // The band's height in pixels for the current font; 0 without a GUI application.
    int BandHeight();
    // The font as drawn; nullopt without a GUI application.
    std::optional<QFont> DrawingFont();

private:
    // Locked callers only.
    bool EnsureFont();
    void MoveText();
    void Blend(uint8_t* frame, int firstRow, int rows) const;

    mutable std::mutex mutex_;
    bool enabled_ = false;
    std::string content_;
    LogicalFont logical_;
    uint32_t fontCor_ = 0x0000FF;     // red; red in the lowest byte
    uint32_t backGrdCor_ = 0xFFFF00;  // cyan
    int32_t fontHeight_ = 10;
    int32_t textX_ = 0;
    int32_t changeType_ = 1;
    int32_t changSpeed_ = 10;

    // Built from `logical_` on the drawing thread when first needed.
    std::optional<QFont> font_;
    int bandHeight_ = 0;
    QImage band_;
    // The text laid out once for the font, redrawn at each position.
    std::optional<QStaticText> laidOut_;
    std::string laidOutContent_;
};
