#pragma once
// The X11 screen's present size, read from the root window: it changes when the screen is
// reconfigured (xrandr), which the size cached at connection time does not show.
typedef struct _XDisplay Display;

// False, leaving width and height alone, when the server does not answer.
bool ReadX11ScreenSize(Display* display, int& width, int& height);
