#pragma once
// Rectangles of the screen capture: the fixed-size entries, the selector's box and label, and the
// frame window drawn around the captured area.
#include <string_view>

// A rectangle in screen pixels; right and bottom are one past the last column and row.
struct CaptureRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const CaptureRect&) const = default;
};

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// An entry of the fixed-size list, "width*height" ("176*144"). False unless both are positive numbers.
bool ParseFixedSize(std::string_view entry, int& width, int& height);

// The part of `rect` on a screen of screenWidth × screenHeight.
CaptureRect ClampToScreen(const CaptureRect& rect, int screenWidth, int screenHeight);

// A box of width × height centred on the pointer and kept on the screen: one that would cross the
// left or top edge starts at 0, one that would cross the right or bottom edge ends at the last pixel,
// one larger than the screen is cut to it.
CaptureRect FixedBoxAt(ScreenPoint pointer, int width, int height, int screenWidth, int screenHeight);

// The box between the anchored corner and the pointer, corners in order, on the screen.
CaptureRect FreeBox(ScreenPoint anchor, ScreenPoint pointer, int screenWidth, int screenHeight);

// Where the selector's label of labelWidth × labelHeight goes: 5 pixels above the box, or 5 below it
// when there is no room above; aligned with the box's left edge and kept on the screen.
ScreenPoint LabelPosition(const CaptureRect& box, int labelWidth, int labelHeight, int screenWidth, int screenHeight);

// The frame window's borders: `border` on every side and a caption of `caption` pixels above the
// client area.
struct FrameMetrics {
    int border = 0;
    int caption = 0;
};

// The frame window's rectangle whose client area is exactly `client`.
CaptureRect FrameAround(const CaptureRect& client, const FrameMetrics& metrics);
// The client area of a frame window placed at `frame`.
CaptureRect ClientOfFrame(const CaptureRect& frame, const FrameMetrics& metrics);
