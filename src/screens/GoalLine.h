#pragma once

#include "story/Goals.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <functional>
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
    // In the large text size the line is larger and wraps; it may take two lines.
    static constexpr float largeHeight = 44;
    // The room the line's words have across the strip.
    static constexpr float room = 640 - 16;
    // The line as drawn at a text size: wrapped when large.
    static std::string laidOut(const std::string& line, bool large,
                               const std::function<float(const std::string&)>& widthOf);
    // The strip's height as last drawn.
    float drawnHeight() const { return strip.getSize().y + 2; }
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
