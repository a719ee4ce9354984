#include "launch/DisplayProbe.h"

#include <X11/Xlib.h>

#include <cstdlib>

std::string DisplayProbe::problem()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return "no display to open the game's window on (DISPLAY is not set): "
               "start it from a graphical desktop";
    ::Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::string("cannot open the display \"") + name
               + "\" for the game's window: start it from a graphical desktop";
    XCloseDisplay(display);
    return "";
}
