// The desktop's windows on a real X server: the deepest window under the pointer, Korvel's own left
// out, rectangles, a closed window, and the inverting outline.
#include "pipeline/WindowFollow.h"
#include "pipeline/X11Windows.h"

#include <gtest/gtest.h>

#include "XvfbScreen.h"  // Xlib last: its macros clash with other headers

#include <X11/Xutil.h>

namespace {

class X11Windows : public testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_NE(screen.display(), nullptr) << "Xvfb did not start";
        ASSERT_TRUE(windows.Open());
    }
    // A mapped window at (x, y) of w × h inside `parent` (the root when 0).
    Window Make(int x, int y, int w, int h, Window parent = 0, unsigned long colour = 0x808080)
    {
        Display* d = screen.display();
        const Window window = XCreateSimpleWindow(d, parent ? parent : DefaultRootWindow(d), x, y, unsigned(w),
                                                  unsigned(h), 0, 0, colour);
        XMapWindow(d, window);
        XSync(d, False);
        return window;
    }
    unsigned long PixelAt(int x, int y)
    {
        Display* d = screen.display();
        XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return pixel;
    }

    XvfbScreen screen;
    CX11Windows windows;
};

}  // namespace

TEST_F(X11Windows, DeepestWindowUnderThePointerButNeverOurOwn)
{
    const Window top = Make(100, 100, 300, 200);
    const Window child = Make(20, 30, 100, 80, top);
    const Window grandchild = Make(10, 10, 40, 40, child);
    const Window ours = Make(450, 50, 100, 100);
    const Window oursInside = Make(10, 10, 50, 50, ours);

    const struct {
        int x, y;
        ScreenWindow found;  // 0: nothing
    } cases[] = {
        {150, 250, top},            // in the top window, beside its child
        {125, 135, child},          // in the child, beside the grandchild
        {135, 145, grandchild},     // deepest
        {20, 20, 0},                // the bare desktop
        {500, 100, 0},              // Korvel's own window
        {465, 65, 0},               // and a window inside it
    };
    for (const auto& c : cases) {
        screen.MovePointer(c.x, c.y);
        const auto found = windows.WindowUnderPointer({ScreenWindow(ours)});
        EXPECT_EQ(found.value_or(0), c.found) << c.x << "," << c.y;
    }
    (void)oursInside;
}

TEST_F(X11Windows, RectanglesFollowMovesAndEndWithTheWindow)
{
    const Window top = Make(100, 100, 300, 200);
    const Window child = Make(20, 30, 100, 80, top);
    EXPECT_EQ(windows.WindowRect(top), (CaptureRect{100, 100, 400, 300}));
    EXPECT_EQ(windows.WindowRect(child), (CaptureRect{120, 130, 220, 210}));  // in screen coordinates

    CWindowFollow follow(windows);
    follow.Follow(child, *windows.WindowRect(child));
    XMoveResizeWindow(screen.display(), top, 200, 150, 300, 200);
    XSync(screen.display(), False);
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::Moved);
    EXPECT_EQ(follow.Rect(), (CaptureRect{220, 180, 320, 260}));

    XDestroyWindow(screen.display(), top);  // the child goes with it
    XSync(screen.display(), False);
    EXPECT_FALSE(windows.WindowRect(top));
    EXPECT_EQ(follow.Tick(), CWindowFollow::Change::Gone);
    EXPECT_FALSE(windows.WindowRect(0));
    EXPECT_FALSE(windows.WindowRect(0x7FFFFFF));  // never a window: no crash, nothing
}

TEST_F(X11Windows, OutlineInvertsThreePixelsOverWindowsAndErasesItself)
{
    const Window window = Make(100, 100, 200, 150, 0, 0x404040);
    const CaptureRect rect{100, 100, 300, 250};
    const unsigned long inverted = 0x404040 ^ 0x7D007D;
    windows.InvertOutline(rect);
    XSync(screen.display(), False);
    for (int d = 0; d < 3; ++d) {
        EXPECT_EQ(PixelAt(100 + d, 180), inverted) << d;  // left edge
        EXPECT_EQ(PixelAt(299 - d, 180), inverted) << d;  // right edge
        EXPECT_EQ(PixelAt(200, 100 + d), inverted) << d;  // top edge
        EXPECT_EQ(PixelAt(200, 249 - d), inverted) << d;  // bottom edge
    }
    EXPECT_EQ(PixelAt(100, 100), inverted);  // a corner is drawn once, not twice
    EXPECT_EQ(PixelAt(103, 180), 0x404040u);
    EXPECT_EQ(PixelAt(99, 180), 0u);  // outside: the bare desktop stays black
    windows.InvertOutline(rect);
    XSync(screen.display(), False);
    for (const auto& [x, y] : {std::pair{100, 180}, {299, 180}, {200, 100}, {200, 249}, {100, 100}})
        EXPECT_EQ(PixelAt(x, y), 0x404040u) << x << "," << y;
    (void)window;
}

TEST_F(X11Windows, ScreenSizeAndPointer)
{
    int w = 0, h = 0;
    windows.ScreenSize(w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    screen.MovePointer(321, 123);
    EXPECT_EQ(windows.PointerPosition(), (ScreenPoint{321, 123}));
    EXPECT_TRUE(X11ServerAvailable());
}

TEST(X11WindowsWithoutServer, SaySoAndDoNothing)
{
    const QByteArray previous = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":9999");
    EXPECT_FALSE(X11ServerAvailable());
    CX11Windows windows;
    EXPECT_FALSE(windows.Open());
    EXPECT_FALSE(windows.PointerPosition());
    EXPECT_FALSE(windows.WindowUnderPointer({}));
    EXPECT_FALSE(windows.WindowRect(1));
    windows.InvertOutline({0, 0, 100, 100});
    qputenv("DISPLAY", previous);
}
