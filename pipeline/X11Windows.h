#pragma once
// The windows of the X11 desktop, for picking another program's window and following it: the window
// under the pointer, a window's rectangle, and an outline drawn over the screen.
#include "pipeline/WindowFollow.h"

#include <optional>
#include <vector>

typedef struct _XDisplay Display;

class CX11Windows : public IWindowSource {
public:
    CX11Windows() = default;
    ~CX11Windows() override;
    CX11Windows(const CX11Windows&) = delete;
    CX11Windows& operator=(const CX11Windows&) = delete;

    // Connects to the display named by DISPLAY. False when there is no X server.
    bool Open();
    bool IsOpen() const { return display_ != nullptr; }

    std::optional<ScreenPoint> PointerPosition();
    // The screen's present size; 0 × 0 when not connected.
    void ScreenSize(int& width, int& height);

    // The deepest window that contains the pointer; nothing over the bare desktop or when the pointer is
    // over one of `own` or any window inside them.
    std::optional<ScreenWindow> WindowUnderPointer(const std::vector<ScreenWindow>& own);

    // The window's outer rectangle (its border included) in screen coordinates.
    std::optional<CaptureRect> WindowRect(ScreenWindow window) override;

    // Inverts a 3-pixel frame just inside `rect` over everything on the screen with the colour
    // RGB(125, 0, 125); drawing the same outline again erases it.
    void InvertOutline(const CaptureRect& rect);

private:
    Display* display_ = nullptr;
};

// Whether an X server can be reached (there is none on a Wayland desktop without XWayland).
bool X11ServerAvailable();
