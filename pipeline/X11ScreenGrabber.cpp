#include "pipeline/X11ScreenGrabber.h"

#include "pipeline/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <memory>

namespace {

int ShiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Turns an XImage into 24-bit bottom-up rows.
void CopyImage(XImage* image, int w, int h, uint8_t* picture, size_t stride)
{
    const bool bgrx = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
                      image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    for (int y = 0; y < h; ++y) {
        uint8_t* out = picture + size_t(h - 1 - y) * stride;
        if (bgrx) {
            const auto* in = reinterpret_cast<const uint8_t*>(image->data) + size_t(y) * size_t(image->bytes_per_line);
            for (int x = 0; x < w; ++x) {
                out[3 * x] = in[4 * x];
                out[3 * x + 1] = in[4 * x + 1];
                out[3 * x + 2] = in[4 * x + 2];
            }
            continue;
        }
        const int rs = ShiftOf(image->red_mask), gs = ShiftOf(image->green_mask), bs = ShiftOf(image->blue_mask);
        const unsigned long rm = image->red_mask >> rs, gm = image->green_mask >> gs, bm = image->blue_mask >> bs;
        for (int x = 0; x < w; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            out[3 * x] = uint8_t(bm ? ((p >> bs) & bm) * 255 / bm : 0);
            out[3 * x + 1] = uint8_t(gm ? ((p >> gs) & gm) * 255 / gm : 0);
            out[3 * x + 2] = uint8_t(rm ? ((p >> rs) & rm) * 255 / rm : 0);
        }
    }
}

}  // namespace

CX11ScreenGrabber::~CX11ScreenGrabber()
{
    Close();
}

bool CX11ScreenGrabber::Open()
{
    if (display_)
        return true;
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return false;
    const int screen = DefaultScreen(display_);
    width_ = DisplayWidth(display_, screen);
    height_ = DisplayHeight(display_, screen);
    shmUsable_ = XShmQueryExtension(display_);
    return true;
}

void CX11ScreenGrabber::UpdateScreenSize()
{
    if (!display_)
        return;
    Window root;
    int x, y;
    unsigned int w, h, border, depth;
    if (XGetGeometry(display_, DefaultRootWindow(display_), &root, &x, &y, &w, &h, &border, &depth)) {
        width_ = int(w);
        height_ = int(h);
    }
}

void CX11ScreenGrabber::Close()
{
    if (!display_)
        return;
    ReleaseShared();
    XCloseDisplay(display_);
    display_ = nullptr;
}

void CX11ScreenGrabber::ReleaseShared()
{
    auto* info = static_cast<XShmSegmentInfo*>(sharedInfo_);
    if (info) {
        XShmDetach(display_, info);
        XSync(display_, False);
        shmdt(info->shmaddr);
        delete info;
    }
    if (shared_) {
        shared_->data = nullptr;  // the segment was ours, not Xlib's
        XDestroyImage(shared_);
    }
    shared_ = nullptr;
    sharedInfo_ = nullptr;
}

bool CX11ScreenGrabber::GrabShared(int left, int top, int w, int h)
{
    if (!shared_ || shared_->width != w || shared_->height != h) {
        ReleaseShared();
        const int screen = DefaultScreen(display_);
        auto info = std::make_unique<XShmSegmentInfo>();
        XImage* image = XShmCreateImage(display_, DefaultVisual(display_, screen), DefaultDepth(display_, screen),
                                        ZPixmap, nullptr, info.get(), unsigned(w), unsigned(h));
        if (!image)
            return false;
        info->shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(h), IPC_CREAT | 0600);
        if (info->shmid < 0) {
            XDestroyImage(image);
            return false;
        }
        info->shmaddr = image->data = static_cast<char*>(shmat(info->shmid, nullptr, 0));
        info->readOnly = False;
        bool attached = false;
        if (info->shmaddr != reinterpret_cast<char*>(-1)) {
            CX11ErrorTrap trap(display_);
            attached = XShmAttach(display_, info.get()) && !trap.Failed();
        }
        // Marked for removal now: it goes away with the last detach, even if we crash.
        shmctl(info->shmid, IPC_RMID, nullptr);
        if (!attached) {
            if (info->shmaddr != reinterpret_cast<char*>(-1))
                shmdt(info->shmaddr);
            image->data = nullptr;
            XDestroyImage(image);
            shmUsable_ = false;  // a server on another machine cannot share memory with us
            return false;
        }
        shared_ = image;
        sharedInfo_ = info.release();
    }
    CX11ErrorTrap trap(display_);
    const Bool ok = XShmGetImage(display_, DefaultRootWindow(display_), shared_, left, top, AllPlanes);
    return ok && !trap.Failed();
}

bool CX11ScreenGrabber::Grab(int left, int top, int w, int h, uint8_t* picture, size_t stride)
{
    if (!display_ || w <= 0 || h <= 0 || left < 0 || top < 0 || left + w > width_ || top + h > height_)
        return false;
    if (shmUsable_ && GrabShared(left, top, w, h)) {
        CopyImage(shared_, w, h, picture, stride);
        return true;
    }
    CX11ErrorTrap trap(display_);
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), left, top, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    if (trap.Failed() || !image) {
        if (image)
            XDestroyImage(image);
        return false;
    }
    CopyImage(image, w, h, picture, stride);
    XDestroyImage(image);
    return true;
}

bool CX11ScreenGrabber::PointerPosition(int& x, int& y)
{
    if (!display_)
        return false;
    Window root, child;
    int winX, winY;
    unsigned int mask;
    return XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &winX, &winY, &mask);
}
