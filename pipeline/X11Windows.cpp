#include "pipeline/X11Windows.h"

#include "pipeline/X11ErrorTrap.h"
#include "pipeline/X11ScreenSize.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace {

constexpr int kOutlineWidth = 3;
constexpr unsigned long kOutlineRed = 125, kOutlineGreen = 0, kOutlineBlue = 125;

// The pixel value of an RGB colour in the screen's true-colour visual.
unsigned long PixelOf(Visual* visual, unsigned long r, unsigned long g, unsigned long b)
{
    const auto channel = [](unsigned long value, unsigned long mask) {
        if (!mask)
            return 0UL;
        int shift = 0;
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return ((value * mask / 255) & mask) << shift;
    };
    return channel(r, visual->red_mask) | channel(g, visual->green_mask) | channel(b, visual->blue_mask);
}

}  // namespace

CX11Windows::~CX11Windows()
{
    if (display_)
        XCloseDisplay(display_);
}

bool CX11Windows::Open()
{
    if (!display_)
        display_ = XOpenDisplay(nullptr);
    return display_ != nullptr;
}

std::optional<ScreenPoint> CX11Windows::PointerPosition()
{
    if (!display_)
        return std::nullopt;
    Window root, child;
    int x, y, winX, winY;
    unsigned int mask;
    if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &winX, &winY, &mask))
        return std::nullopt;
    return ScreenPoint{x, y};
}

void CX11Windows::ScreenSize(int& width, int& height)
{
    width = height = 0;
    if (display_)
        ReadX11ScreenSize(display_, width, height);
}

std::optional<ScreenWindow> CX11Windows::WindowUnderPointer(const std::vector<ScreenWindow>& own)
{
    if (!display_)
        return std::nullopt;
    // Down from the root, one child containing the pointer at a time; a window manager's frame comes
    // first, then the program's window inside it.
    CX11ErrorTrap trap(display_);
    Window window = DefaultRootWindow(display_), found = None;
    for (;;) {
        Window root, child = None;
        int x, y, winX, winY;
        unsigned int mask;
        if (!XQueryPointer(display_, window, &root, &child, &x, &y, &winX, &winY, &mask) || child == None)
            break;
        if (std::find(own.begin(), own.end(), ScreenWindow(child)) != own.end())
            return std::nullopt;
        found = window = child;
    }
    if (trap.Failed() || found == None)
        return std::nullopt;
    return ScreenWindow(found);
}

std::optional<CaptureRect> CX11Windows::WindowRect(ScreenWindow window)
{
    if (!display_ || !window)
        return std::nullopt;
    CX11ErrorTrap trap(display_);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, Window(window), &attributes) || trap.Failed())
        return std::nullopt;
    Window child;
    int x = 0, y = 0;
    if (!XTranslateCoordinates(display_, Window(window), DefaultRootWindow(display_), 0, 0, &x, &y, &child) ||
        trap.Failed())
        return std::nullopt;
    const int border = attributes.border_width;
    return CaptureRect{x - border, y - border, x + attributes.width + border, y + attributes.height + border};
}

void CX11Windows::InvertOutline(const CaptureRect& rect)
{
    if (!display_ || rect.Width() < kOutlineWidth || rect.Height() < kOutlineWidth)
        return;
    const int screen = DefaultScreen(display_);
    XGCValues values;
    values.function = GXxor;
    values.foreground = PixelOf(DefaultVisual(display_, screen), kOutlineRed, kOutlineGreen, kOutlineBlue);
    values.line_width = kOutlineWidth;
    values.subwindow_mode = IncludeInferiors;  // over the windows, not only the bare desktop
    const Window root = DefaultRootWindow(display_);
    GC gc = XCreateGC(display_, root, GCFunction | GCForeground | GCLineWidth | GCSubwindowMode, &values);
    // A wide line is centred on its path: one pixel in from the edge keeps all three inside.
    XDrawRectangle(display_, root, gc, rect.left + 1, rect.top + 1, unsigned(rect.Width() - kOutlineWidth),
                   unsigned(rect.Height() - kOutlineWidth));
    XFreeGC(display_, gc);
    // Drawn by the time this returns, so the erase 400 ms later meets it on the screen.
    XSync(display_, False);
}

bool X11ServerAvailable()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}
