// The rectangles of the screen capture: fixed sizes, the selector's box and label, the frame window.
#include "pipeline/CaptureGeometry.h"

#include <gtest/gtest.h>

TEST(CaptureGeometry, FixedSizeEntries)
{
    const struct {
        const char* entry;
        bool ok;
        int w, h;
    } cases[] = {
        {"176*144", true, 176, 144}, {"320*240", true, 320, 240}, {"640*480", true, 640, 480}, {"1*1", true, 1, 1},
        {"", false, 0, 0},           {"640", false, 0, 0},        {"*480", false, 0, 0},      {"640*", false, 0, 0},
        {"0*480", false, 0, 0},      {"640*-1", false, 0, 0},     {"64x48", false, 0, 0},     {"64*48*2", false, 0, 0},
        {" 64*48", false, 0, 0},     {"99999999999*2", false, 0, 0},
    };
    for (const auto& c : cases) {
        int w = -7, h = -7;
        EXPECT_EQ(ParseFixedSize(c.entry, w, h), c.ok) << c.entry;
        EXPECT_EQ(w, c.ok ? c.w : -7) << c.entry;  // untouched on failure
        EXPECT_EQ(h, c.ok ? c.h : -7) << c.entry;
    }
}

TEST(CaptureGeometry, FixedBoxIsCentredAndKeptOnTheScreen)
{
    const struct {
        ScreenPoint pointer;
        int w, h;
        CaptureRect box;
    } cases[] = {
        {{400, 300}, 176, 144, {312, 228, 488, 372}},   // centred
        {{10, 20}, 176, 144, {0, 0, 176, 144}},         // would cross the left and top edges
        {{795, 598}, 176, 144, {624, 456, 800, 600}},   // ends at the last column and row
        {{400, 300}, 1000, 144, {0, 228, 800, 372}},    // wider than the screen: cut to it
        {{-50, 700}, 640, 480, {0, 120, 640, 600}},     // pointer off the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(FixedBoxAt(c.pointer, c.w, c.h, 800, 600), c.box) << c.pointer.x << "," << c.pointer.y;
}

TEST(CaptureGeometry, FreeBoxKeepsItsCornersInOrder)
{
    EXPECT_EQ(FreeBox({100, 50}, {300, 250}, 800, 600), (CaptureRect{100, 50, 300, 250}));
    EXPECT_EQ(FreeBox({300, 250}, {100, 50}, 800, 600), (CaptureRect{100, 50, 300, 250}));
    EXPECT_EQ(FreeBox({300, 50}, {100, 250}, 800, 600), (CaptureRect{100, 50, 300, 250}));
    EXPECT_EQ(FreeBox({700, 500}, {900, -20}, 800, 600), (CaptureRect{700, 0, 800, 500}));
    EXPECT_TRUE(FreeBox({40, 40}, {40, 90}, 800, 600).IsEmpty());
}

TEST(CaptureGeometry, RegionsArePartlyOffTheScreenClamped)
{
    EXPECT_EQ(ClampToScreen({-10, -20, 100, 200}, 800, 600), (CaptureRect{0, 0, 100, 200}));
    EXPECT_EQ(ClampToScreen({700, 500, 900, 700}, 800, 600), (CaptureRect{700, 500, 800, 600}));
    EXPECT_TRUE(ClampToScreen({900, 100, 1000, 200}, 800, 600).IsEmpty());
    EXPECT_TRUE(ClampToScreen({300, 200, 100, 100}, 800, 600).IsEmpty());
}

TEST(CaptureGeometry, LabelAboveTheBoxOrBelowIt)
{
    const int lw = 240, lh = 20;
    // Room above: 5 pixels above the top edge, at the box's left.
    EXPECT_EQ(LabelPosition({100, 100, 300, 200}, lw, lh, 800, 600), (ScreenPoint{100, 75}));
    // Just room above, and one pixel short of it.
    EXPECT_EQ(LabelPosition({100, 25, 300, 200}, lw, lh, 800, 600), (ScreenPoint{100, 0}));
    EXPECT_EQ(LabelPosition({100, 24, 300, 200}, lw, lh, 800, 600), (ScreenPoint{100, 205}));
    // Near the right edge it moves left to stay whole.
    EXPECT_EQ(LabelPosition({700, 300, 790, 400}, lw, lh, 800, 600), (ScreenPoint{560, 275}));
    // A box as tall as the screen: the label stays on the screen, over the box.
    EXPECT_EQ(LabelPosition({0, 0, 800, 600}, lw, lh, 800, 600), (ScreenPoint{0, 580}));
}

TEST(CaptureGeometry, FrameWindowClientAreaIsTheCaptureRectangle)
{
    const FrameMetrics metrics{4, 22};
    const CaptureRect client{100, 80, 276, 224};
    const CaptureRect frame = FrameAround(client, metrics);
    EXPECT_EQ(frame, (CaptureRect{96, 54, 280, 228}));
    EXPECT_EQ(ClientOfFrame(frame, metrics), client);
    // Moving the frame moves the client area by as much; resizing it resizes the client area.
    const CaptureRect moved{frame.left + 30, frame.top - 10, frame.right + 30, frame.bottom - 10};
    EXPECT_EQ(ClientOfFrame(moved, metrics), (CaptureRect{130, 70, 306, 214}));
    const CaptureRect wider{frame.left, frame.top, frame.right + 64, frame.bottom + 16};
    EXPECT_EQ(ClientOfFrame(wider, metrics).Width(), 240);
    EXPECT_EQ(ClientOfFrame(wider, metrics).Height(), 160);
}
