#include "pipeline/CaptureGeometry.h"

#include <algorithm>
#include <charconv>

namespace {

bool ParsePositive(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value > 0;
}

// The start of a span of `length` on an axis of `extent` that starts at `wanted` unless that leaves it.
int KeepOnAxis(int wanted, int length, int extent)
{
    if (wanted + length > extent)
        wanted = extent - length;
    return std::max(wanted, 0);
}

}  // namespace

bool ParseFixedSize(std::string_view entry, int& width, int& height)
{
    const size_t star = entry.find('*');
    if (star == std::string_view::npos)
        return false;
    int w = 0, h = 0;
    if (!ParsePositive(entry.substr(0, star), w) || !ParsePositive(entry.substr(star + 1), h))
        return false;
    width = w;
    height = h;
    return true;
}

CaptureRect ClampToScreen(const CaptureRect& rect, int screenWidth, int screenHeight)
{
    CaptureRect out;
    out.left = std::clamp(rect.left, 0, screenWidth);
    out.top = std::clamp(rect.top, 0, screenHeight);
    out.right = std::clamp(rect.right, out.left, screenWidth);
    out.bottom = std::clamp(rect.bottom, out.top, screenHeight);
    return out;
}

CaptureRect FixedBoxAt(ScreenPoint pointer, int width, int height, int screenWidth, int screenHeight)
{
    width = std::clamp(width, 0, screenWidth);
    height = std::clamp(height, 0, screenHeight);
    const int left = KeepOnAxis(pointer.x - width / 2, width, screenWidth);
    const int top = KeepOnAxis(pointer.y - height / 2, height, screenHeight);
    return {left, top, left + width, top + height};
}

CaptureRect FreeBox(ScreenPoint anchor, ScreenPoint pointer, int screenWidth, int screenHeight)
{
    const CaptureRect box{std::min(anchor.x, pointer.x), std::min(anchor.y, pointer.y), std::max(anchor.x, pointer.x),
                          std::max(anchor.y, pointer.y)};
    return ClampToScreen(box, screenWidth, screenHeight);
}

ScreenPoint LabelPosition(const CaptureRect& box, int labelWidth, int labelHeight, int screenWidth, int screenHeight)
{
    constexpr int kGap = 5;
    int y = box.top - kGap - labelHeight;
    if (y < 0)
        y = box.bottom + kGap;
    return {KeepOnAxis(box.left, labelWidth, screenWidth), KeepOnAxis(y, labelHeight, screenHeight)};
}

CaptureRect FrameAround(const CaptureRect& client, const FrameMetrics& metrics)
{
    return {client.left - metrics.border, client.top - metrics.border - metrics.caption, client.right + metrics.border,
            client.bottom + metrics.border};
}

CaptureRect ClientOfFrame(const CaptureRect& frame, const FrameMetrics& metrics)
{
    return {frame.left + metrics.border, frame.top + metrics.border + metrics.caption, frame.right - metrics.border,
            frame.bottom - metrics.border};
}
