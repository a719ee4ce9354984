#include "core/WindowLimits.h"

#include "core/Game.h"

#include <SFML/Window/Window.hpp>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

sf::Vector2u WindowLimits::atLeastPicture(sf::Vector2u size)
{
    return sf::Vector2u(std::max(size.x, Game::pictureWidth), std::max(size.y, Game::pictureHeight));
}

void WindowLimits::tellWindowManager(sf::Window& window)
{
    const sf::WindowHandle handle = window.getSystemHandle();
    if (!handle)
        return;
    // The library keeps its own connection to the display; the hint is a
    // property of the window, so a connection of our own can set it.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        long supplied = 0;
        XGetWMNormalHints(display, handle, hints, &supplied);
        hints->flags |= PMinSize;
        hints->min_width = static_cast<int>(Game::pictureWidth);
        hints->min_height = static_cast<int>(Game::pictureHeight);
        XSetWMNormalHints(display, handle, hints);
        XFree(hints);
    }
    XFlush(display);
    XCloseDisplay(display);
}

bool WindowLimits::keepMinimum(sf::Window& window)
{
    const sf::Vector2u size = window.getSize();
    const sf::Vector2u wanted = atLeastPicture(size);
    if (size == wanted || size.x == 0 || size.y == 0)
        return false; // no area at all: minimised
    window.setSize(wanted);
    return true;
}
