#pragma once

#include <SFML/System/Clock.hpp>
#include <SFML/System/Time.hpp>

#include <string>

// A short line over whatever is on screen for a few seconds: a save that
// could not be written, settings that could not be kept.
class Notice {
public:
    Notice() = delete;

    static void show(const std::string& text);
    // The line on screen now, or "" once its time is up.
    static std::string current();
    static void clear();
    // Draws the line across the bottom of the picture.
    static void draw();

    static sf::Time duration;
};
