#pragma once
// An Xvfb server started for one test, on a free display that DISPLAY names while it runs. Include it
// after Qt's headers: Xlib's macros clash with them.
#include "Bitmaps.h"

#include <QProcess>
#include <QStandardPaths>

#include <X11/Xlib.h>

// An Xvfb server (640×480 unless told) on a free display.
class XvfbScreen {
public:
    explicit XvfbScreen(const QString& size = "640x480x24")
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty())
            return;
        // Xvfb picks a free display itself and tells its number on stdout.
        server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp"});
        QByteArray number;
        while (!number.contains('\n') && server_.waitForReadyRead(10000))
            number += server_.readAllStandardOutput();
        const QByteArray name = ":" + number.trimmed();
        if (number.trimmed().isEmpty() || !(display_ = XOpenDisplay(name.constData()))) {
            server_.terminate();
            server_.waitForFinished(5000);
            return;
        }
        previous_ = qgetenv("DISPLAY");
        qputenv("DISPLAY", name);
    }
    ~XvfbScreen()
    {
        if (!display_)
            return;
        XCloseDisplay(display_);
        qputenv("DISPLAY", previous_);
        server_.terminate();
        server_.waitForFinished(5000);
    }
    Display* display() const { return display_; }

    // Paints the root window: 16-pixel squares, each coloured after its position.
    void Paint()
    {
        const Window root = DefaultRootWindow(display_);
        GC gc = XCreateGC(display_, root, 0, nullptr);
        for (int y = 0; y < 480; y += 16)
            for (int x = 0; x < 640; x += 16) {
                XSetForeground(display_, gc, Colour(x, y));
                XFillRectangle(display_, root, gc, x, y, 16, 16);
            }
        XFreeGC(display_, gc);
        XSync(display_, False);
    }
    static unsigned long Colour(int x, int y)
    {
        return (unsigned long)(((x / 16) * 6) << 16 | ((y / 16) * 8) << 8 | 0x40);
    }
    static Bgr ColourAt(int x, int y)
    {
        const unsigned long c = Colour(x, y);
        return {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)};
    }
    void MovePointer(int x, int y)
    {
        XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
        XSync(display_, False);
    }

private:
    QProcess server_;
    Display* display_ = nullptr;
    QByteArray previous_;
};

