#pragma once

#include <SFML/Window/Keyboard.hpp>

// A snapshot of the keyboard taken once per frame, so that every query in a
// frame sees the same keys and edges are counted between frames.
class Keyboard {
public:
    Keyboard() = delete;

    static bool lastState[sf::Keyboard::KeyCount];
    static bool currentState[sf::Keyboard::KeyCount];

    static void initialize();
    static void update();

    static bool keyPressed(sf::Keyboard::Key key);
    static bool keyReleased(sf::Keyboard::Key key);
    static bool keyDown(sf::Keyboard::Key key);
    static bool keyUp(sf::Keyboard::Key key);
};
