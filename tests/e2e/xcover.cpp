// Puts a window of another colour over an X window and takes it away again, as
// another program's window would: the covered window's picture is overwritten
// and it is told to draw itself again (an exposure).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: xcover WINDOW-ID\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xcover: cannot open display\n");
        return 1;
    }
    const Window target = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    XWindowAttributes seen;
    if (!XGetWindowAttributes(display, target, &seen)) {
        std::fprintf(stderr, "xcover: no window %s\n", argv[1]);
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, target, root, 0, 0, &x, &y, &child);

    // Unmanaged, so that no window manager moves it or takes the focus with it.
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0xff00ff; // magenta: no picture of the game's
    const Window cover = XCreateWindow(display, root, x, y, unsigned(seen.width), unsigned(seen.height), 0,
                                       CopyFromParent, InputOutput, CopyFromParent,
                                       CWOverrideRedirect | CWBackPixel, &attributes);
    XSelectInput(display, cover, StructureNotifyMask | ExposureMask);
    XMapRaised(display, cover);
    // Mapped and painted with its background before it goes away.
    for (XEvent event; XNextEvent(display, &event), event.type != Expose;) {
    }
    XSync(display, False);
    XUnmapWindow(display, cover);
    XDestroyWindow(display, cover);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
