#pragma once
// Following a window of another program: its rectangle is read on every tick, a change is reported
// once, and a window that is gone ends the following.
#include "pipeline/CaptureGeometry.h"

#include <cstdint>
#include <optional>

using ScreenWindow = uint64_t;  // an X11 window id; 0 for none

// Where the windows of the desktop are.
class IWindowSource {
public:
    virtual ~IWindowSource() = default;
    // The window's rectangle on the screen, or nothing when it no longer exists.
    virtual std::optional<CaptureRect> WindowRect(ScreenWindow window) = 0;
};

class CWindowFollow {
public:
    enum class Change { None, Moved, Gone };

    explicit CWindowFollow(IWindowSource& windows) : windows_(windows) {}

    // Starts following `window`, whose rectangle is `rect` now.
    void Follow(ScreenWindow window, const CaptureRect& rect);
    void Forget() { window_ = 0; }
    ScreenWindow Window() const { return window_; }
    const CaptureRect& Rect() const { return rect_; }

    // One tick: Moved when the rectangle differs from the last one (Rect() then has the new one), Gone
    // once when the window disappeared (following then ends), None otherwise and when nothing is followed.
    Change Tick();

private:
    IWindowSource& windows_;
    ScreenWindow window_ = 0;
    CaptureRect rect_;
};
