#include "pipeline/WindowFollow.h"

void CWindowFollow::Follow(ScreenWindow window, const CaptureRect& rect)
{
    window_ = window;
    rect_ = rect;
}

CWindowFollow::Change CWindowFollow::Tick()
{
    if (!window_)
        return Change::None;
    const std::optional<CaptureRect> rect = windows_.WindowRect(window_);
    if (!rect) {
        window_ = 0;
        return Change::Gone;
    }
    if (*rect == rect_)
        return Change::None;
    rect_ = *rect;
    return Change::Moved;
}
