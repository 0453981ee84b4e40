#include "effects/TextOverlay.h"

#include "effects/FrameBuffer.h"
#include "effects/Pacing.h"
#include "fileio/TextEncoding.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

const QStringList CTextOverlay::kFallbackFaces = {
    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC"),
};

namespace {

QColor FromColorRef(uint32_t cor)
{
    return QColor(int(cor & 0xFF), int((cor >> 8) & 0xFF), int((cor >> 16) & 0xFF));
}

int32_t ClampToInt32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

CTextOverlay::CTextOverlay()
{
    SetFont("黑体", 60, false, true, false);
}

bool CTextOverlay::SetFont(const std::string& face, int32_t size, bool italic, bool underline, bool strikeout)
{
    const bool inRange = size >= -kMaxFontHeight && size <= kMaxFontHeight;
    std::lock_guard lock(mutex_);
    logical_ = {CutToUtf16Units(face, 31), std::clamp(size, -kMaxFontHeight, kMaxFontHeight), italic, underline,
                strikeout};
    font_.reset();
    return inRange;
}

void CTextOverlay::SetTextLine(const SettingsRecord::AddFontGroup& settings)
{
    SetFont(settings.FontName, settings.FontSize, false, false, false);
    std::lock_guard lock(mutex_);
    if (!settings.Content.empty())
        enabled_ = true;
    content_ = settings.Content;
    fontCor_ = settings.FontCor;
    backGrdCor_ = settings.BackGrdCor;
    fontHeight_ = settings.FontHeight;
    changeType_ = settings.ChangeType;
    changSpeed_ = settings.ChangSpeed;
}

void CTextOverlay::SetTextClose(bool close)
{
    std::lock_guard lock(mutex_);
    enabled_ = !close && !content_.empty();
}

bool CTextOverlay::Enabled() const
{
    std::lock_guard lock(mutex_);
    return enabled_;
}

int32_t CTextOverlay::TextX() const
{
    std::lock_guard lock(mutex_);
    return textX_;
}

int32_t CTextOverlay::ChangSpeed() const
{
    std::lock_guard lock(mutex_);
    return changSpeed_;
}

int32_t CTextOverlay::FontHeight() const
{
    std::lock_guard lock(mutex_);
    return fontHeight_;
}

int CTextOverlay::BandHeight()
{
    std::lock_guard lock(mutex_);
    return EnsureFont() ? bandHeight_ : 0;
}

std::optional<QFont> CTextOverlay::DrawingFont()
{
    std::lock_guard lock(mutex_);
    return EnsureFont() ? font_ : std::nullopt;
}

bool CTextOverlay::EnsureFont()
{
    if (font_)
        return true;
    // Fonts need the GUI application; without one there is nothing to draw with.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    QFont font;
    font.setFamilies(QStringList{QString::fromStdString(logical_.Face)} + kFallbackFaces);
    font.setWeight(QFont::Weight(std::clamp(std::abs(logical_.Height), 1, 1000)));
    font.setItalic(logical_.Italic);
    font.setUnderline(logical_.Underline);
    font.setStrikeOut(logical_.StrikeOut);
    // A positive height is the whole cell (ascent and descent), and so the band's height; a negative one
    // the characters alone, the band then being as high as the face makes its cell.
    const int height = logical_.Height == 0 ? 16 : std::abs(logical_.Height);
    font.setPixelSize(height);
    if (logical_.Height > 0) {
        const int cell = QFontMetrics(font).height();
        if (cell > height)
            font.setPixelSize(std::max(1, int(std::lround(double(height) * height / cell))));
        while (font.pixelSize() > 1 && QFontMetrics(font).height() > height)
            font.setPixelSize(font.pixelSize() - 1);
        bandHeight_ = height;
    } else {
        bandHeight_ = std::max(1, QFontMetrics(font).height());
    }
    font_ = font;
    laidOut_.reset();
    return true;
}

void CTextOverlay::MoveText()
{
    if (changeType_ == 0)
        changSpeed_ = 0;
    else if (changeType_ == 1)
        changSpeed_ = ClampToInt32(-std::abs(int64_t(changSpeed_)));
    textX_ = ClampToInt32(int64_t(textX_) + changSpeed_);
    if (changeType_ == 2 && textX_ > kFrameWidth)
        textX_ = -kFrameWidth;
    if (changeType_ == 1 && textX_ < -kFrameWidth)
        textX_ = kFrameWidth;
}

void CTextOverlay::DrawTextLine(uint8_t* frame)
{
    {
        std::lock_guard lock(mutex_);
        if (!EnsureFont())
            return;
        const int h = bandHeight_;
        MoveText();
        // The band stays inside the picture; one higher than the picture shows its lowest 240 lines.
        if (fontHeight_ < 0)
            fontHeight_ = 0;
        if (int64_t(fontHeight_) + h > kFrameHeight)
            fontHeight_ = std::max(0, kFrameHeight - h);
        const int rows = std::min(h, kFrameHeight - fontHeight_);

        if (band_.width() != kFrameWidth || band_.height() != rows)
            band_ = QImage(kFrameWidth, rows, QImage::Format_RGB32);
        band_.fill(FromColorRef(backGrdCor_));
        if (!laidOut_ || laidOutContent_ != content_) {
            laidOut_.emplace(QString::fromStdString(content_));
            laidOut_->setTextFormat(Qt::PlainText);
            laidOut_->setPerformanceHint(QStaticText::AggressiveCaching);
            laidOut_->prepare(QTransform(), *font_);
            laidOutContent_ = content_;
        }
        if (textX_ < kFrameWidth && textX_ + laidOut_->size().width() > 0) {
            QPainter painter(&band_);
            painter.setFont(*font_);
            painter.setPen(FromColorRef(fontCor_));
            painter.drawStaticText(QPointF(textX_, rows - h), *laidOut_);
        }
        Blend(frame, fontHeight_, rows);
    }
    PaceFrame(20);
}

void CTextOverlay::Blend(uint8_t* frame, int firstRow, int rows) const
{
    // Per channel: where the band still has its own colour the video shows at half strength, anywhere
    // else (text, its smoothed edges) the band's byte replaces it.
    uint8_t back[kFrameStride], band[kFrameStride];
    for (int c = 0; c < kFrameWidth; ++c) {
        back[3 * c] = uint8_t(backGrdCor_ >> 16);
        back[3 * c + 1] = uint8_t(backGrdCor_ >> 8);
        back[3 * c + 2] = uint8_t(backGrdCor_);
    }
    for (int r = 0; r < rows; ++r) {
        // Band line r counts from the band's bottom; the image's lines from its top.
        const QRgb* line = reinterpret_cast<const QRgb*>(band_.constScanLine(rows - 1 - r));
        for (int c = 0; c < kFrameWidth; ++c) {
            band[3 * c] = uint8_t(qBlue(line[c]));
            band[3 * c + 1] = uint8_t(qGreen(line[c]));
            band[3 * c + 2] = uint8_t(qRed(line[c]));
        }
        uint8_t* dst = frame + size_t(firstRow + r) * kFrameStride;
        for (int i = 0; i < kFrameStride; ++i) {
            const uint8_t half = uint8_t((dst[i] & band[i]) + ((dst[i] ^ band[i]) >> 1));
            const uint8_t isBack = uint8_t(-uint8_t(band[i] == back[i]));
            dst[i] = uint8_t((half & isBack) | (band[i] & ~isBack));
        }
    }
}
