#pragma once

#include <SFML/Window/WindowHandle.hpp>

// Whether the window's picture was damaged from outside: another window put
// over it and taken away, the window mapped again or shown after it was
// hidden. The windowing library tells of none of this, so a connection of our
// own to the X server listens for the window's exposure and visibility events.
// Without a display (or with a window not watched) it never reports anything.
class ExposureWatch {
public:
    ExposureWatch() = default;
    ExposureWatch(const ExposureWatch&) = delete;
    ExposureWatch& operator=(const ExposureWatch&) = delete;
    ~ExposureWatch();

    // Watches `window` (the window's system handle), from now on; a new
    // handle (the window made anew) replaces the old one. True when the
    // handle is new: what that window shows is not known.
    bool watch(sf::WindowHandle window);
    // True when the window was exposed since the last call.
    bool exposed();

private:
    void* display = nullptr; // the X connection, opened on the first watch()
    sf::WindowHandle watched = 0;
};
