#pragma once
// Reads rectangles of the X11 screen: through MIT-SHM when the server offers it, else XGetImage.
#include <cstddef>
#include <cstdint>

typedef struct _XDisplay Display;
struct _XImage;

class CX11ScreenGrabber {
public:
    CX11ScreenGrabber() = default;
    ~CX11ScreenGrabber();
    CX11ScreenGrabber(const CX11ScreenGrabber&) = delete;
    CX11ScreenGrabber& operator=(const CX11ScreenGrabber&) = delete;

    // Connects to the display named by DISPLAY. False when there is none.
    bool Open();
    bool IsOpen() const { return display_ != nullptr; }
    int ScreenWidth() const { return width_; }
    int ScreenHeight() const { return height_; }
    // Reads the screen's size again: it changes when the screen is reconfigured (xrandr).
    void UpdateScreenSize();

    // Copies the rectangle (inside the screen) into a 24-bit bottom-up picture of w × h with `stride`
    // bytes a row. False when the server refuses.
    bool Grab(int left, int top, int w, int h, uint8_t* picture, size_t stride);

    // The pointer position on the screen.
    bool PointerPosition(int& x, int& y);

private:
    bool GrabShared(int left, int top, int w, int h);
    void ReleaseShared();
    void Close();

    Display* display_ = nullptr;
    int width_ = 0, height_ = 0;
    bool shmUsable_ = false;
    _XImage* shared_ = nullptr;  // the MIT-SHM image of the last rectangle size
    void* sharedInfo_ = nullptr; // its XShmSegmentInfo
};
