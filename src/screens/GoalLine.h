#pragma once

#include "story/Goals.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <string>

// The strip across the top of the picture that says what to do next. The
// world draws it over itself while the player walks; a key hides and shows it.
class GoalLine {
public:
    GoalLine();

    // Reads the toggle key from this frame's keyboard snapshot.
    void update();
    // Draws the strip in picture coordinates, whatever the camera or the
    // window size; nothing when hidden or when there is no line.
    void draw();
    // The line for the story counters as they are now.
    const std::string& text() const;

    static constexpr sf::Keyboard::Key toggleKey = sf::Keyboard::G;
    static constexpr float height = 20;
    static constexpr unsigned characterSize = 12;
    static const sf::Color background;
    static const sf::Color edge;

    Goals goals;
    bool shown = true;

private:
    sf::RectangleShape strip;
    sf::RectangleShape underline;
    sf::Text message;
    mutable std::string current; // the last text()
};
