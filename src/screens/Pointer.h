#pragma once

#include <SFML/System/Vector2.hpp>

namespace sf {
class Event;
}

// The mouse, as the window's events tell of it: where it last moved and
// whether its left button went down since the menus last looked.
class Pointer {
public:
    Pointer() = delete;

    // Takes mouse moves and presses; other events are ignored.
    static void handleEvent(const sf::Event& event);
    // What happened since the last call, in picture coordinates (the window's
    // pixels through the letterboxed, scaled view): false when the mouse
    // neither moved nor clicked.
    static bool take(sf::Vector2f& at, bool& clicked);
    // The wheel's turns since the last call, in notches: up is positive.
    static float takeWheel();
    static void forget();
};
