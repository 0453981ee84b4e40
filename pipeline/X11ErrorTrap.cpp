#include "pipeline/X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace {

bool gXError = false;
XErrorHandler gPrevious = nullptr;

int NoteXError(Display*, XErrorEvent*)
{
    gXError = true;
    return 0;
}

}  // namespace

CX11ErrorTrap::CX11ErrorTrap(Display* display) : display_(display)
{
    XSync(display_, False);
    gXError = false;
    gPrevious = XSetErrorHandler(NoteXError);
}

CX11ErrorTrap::~CX11ErrorTrap()
{
    XSetErrorHandler(gPrevious);
}

bool CX11ErrorTrap::Failed()
{
    XSync(display_, False);
    return gXError;
}
