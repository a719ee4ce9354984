#include "render/ExposureWatch.h"

#include <X11/Xlib.h>

ExposureWatch::~ExposureWatch()
{
    if (display)
        XCloseDisplay(static_cast<Display*>(display));
}

bool ExposureWatch::watch(sf::WindowHandle window)
{
    if (window == watched)
        return false;
    if (!display)
        display = XOpenDisplay(nullptr);
    if (!display)
        return true;
    auto* x = static_cast<Display*>(display);
    // Each client chooses its own events on a window: these are ours alone
    // and change nothing for the windowing library's connection. The window
    // watched before is not told: it is gone with the window made anew, and
    // asking for a window that is gone would end the program.
    watched = window;
    if (watched)
        XSelectInput(x, watched, ExposureMask | VisibilityChangeMask | StructureNotifyMask);
    XFlush(x);
    return true;
}

bool ExposureWatch::exposed()
{
    if (!display)
        return false;
    auto* x = static_cast<Display*>(display);
    bool any = false;
    while (XPending(x) > 0) {
        XEvent event;
        XNextEvent(x, &event);
        switch (event.type) {
        case Expose:
        case MapNotify:
            any = true;
            break;
        case VisibilityNotify:
            // Less hidden than before: parts come back into view.
            any = any || event.xvisibility.state != VisibilityFullyObscured;
            break;
        default:
            break;
        }
    }
    return any;
}
