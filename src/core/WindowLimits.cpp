#include "core/WindowLimits.h"

#include "core/Game.h"

#include <SFML/Window/Window.hpp>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>

int WindowLimits::chosenScale = WindowLimits::automatic;

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

bool WindowLimits::fills(int chosen, bool fullscreen, sf::Vector2u screen)
{
    if (chosen != automatic)
        return chosen == fill;
    unsigned whole = startScale(screen);
    if (fullscreen)
        while (Game::pictureWidth * (whole + 1) <= screen.x && Game::pictureHeight * (whole + 1) <= screen.y)
            ++whole;
    return 4ull * whole * Game::pictureHeight < 3ull * screen.y;
}

sf::FloatRect WindowLimits::pictureViewport(sf::Vector2u windowSize, bool fill)
{
    if (windowSize.x == 0 || windowSize.y == 0)
        return sf::FloatRect(0, 0, 1, 1);
    const float w = static_cast<float>(windowSize.x);
    const float h = static_cast<float>(windowSize.y);
    const float fit = std::min(w / Game::pictureWidth, h / Game::pictureHeight);
    // Whole-number scales keep every picture pixel the same size on screen.
    const float scale = fit >= 1 && !fill ? std::floor(fit) : fit;
    const float width = std::min(std::round(Game::pictureWidth * scale), w);
    const float height = std::min(std::round(Game::pictureHeight * scale), h);
    const float left = std::floor((w - width) / 2);
    const float top = std::floor((h - height) / 2);
    return sf::FloatRect(left / w, top / h, width / w, height / h);
}

unsigned WindowLimits::startScale(sf::Vector2u screen)
{
    // 90 % in whole numbers: 10 * scale * 640 <= 9 * width, and so for the height.
    unsigned scale = 1;
    while (10ull * (scale + 1) * Game::pictureWidth <= 9ull * screen.x
           && 10ull * (scale + 1) * Game::pictureHeight <= 9ull * screen.y)
        ++scale;
    return scale;
}

sf::Vector2u WindowLimits::fillWindowSize(sf::Vector2u screen)
{
    const double scale = 0.9 * std::min(static_cast<double>(screen.x) / Game::pictureWidth,
                                        static_cast<double>(screen.y) / Game::pictureHeight);
    // Rounded up: the picture takes at least 90 % of the height or width.
    return atLeastPicture(sf::Vector2u(static_cast<unsigned>(std::ceil(Game::pictureWidth * scale - 1e-6)),
                                       static_cast<unsigned>(std::ceil(Game::pictureHeight * scale - 1e-6))));
}
