#include "pipeline/X11ScreenSize.h"

#include <X11/Xlib.h>

bool ReadX11ScreenSize(Display* display, int& width, int& height)
{
    Window root;
    int x, y;
    unsigned int w, h, border, depth;
    if (!XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &w, &h, &border, &depth))
        return false;
    width = int(w);
    height = int(h);
    return true;
}
