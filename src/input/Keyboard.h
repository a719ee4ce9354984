#pragma once

#include <SFML/Window/Keyboard.hpp>

namespace sf {
class Event;
}

// A snapshot of the keyboard taken once per frame, so that every query in a
// frame sees the same keys and edges are counted between frames.
//
// The snapshot joins two sources: the live state of the keys and the window's
// key events. The events catch a tap that went down and up between two
// snapshots (on a busy machine a frame can last longer than a tap), and they
// say whether the window has the keyboard: keys typed into another window
// read as up.
class Keyboard {
public:
    Keyboard() = delete;

    static bool lastState[sf::Keyboard::KeyCount];
    static bool currentState[sf::Keyboard::KeyCount];

    // Keys that went down in the window's events since the last snapshot.
    static bool pressedSince[sf::Keyboard::KeyCount];
    // Keys that were held through a change of focus: they read as up until
    // they have been let go and pressed again.
    static bool heldOver[sf::Keyboard::KeyCount];
    // Whether the window has the keyboard.
    static bool focused;
    // Where the live state comes from: the physical keys.
    static bool (*live)(sf::Keyboard::Key key);

    static void initialize();
    static void update();
    // Takes one of the window's events: key presses and releases, focus
    // lost and gained. Other events are ignored.
    static void handleEvent(const sf::Event& event);
    // The window was made anew (or its focus is otherwise known afresh):
    // whatever is held now waits to be let go.
    static void restart(bool hasFocus);

    // The key has done its work (it closed a conversation): from now on it
    // reads as up until it has been let go and pressed again.
    static void swallow(sf::Keyboard::Key key);

    static bool keyPressed(sf::Keyboard::Key key);
    static bool keyReleased(sf::Keyboard::Key key);
    static bool keyDown(sf::Keyboard::Key key);
    static bool keyUp(sf::Keyboard::Key key);
};
