#pragma once

#include <string>
#include <vector>

// A short message over whatever is on screen: a save that could not be
// written or used, settings that could not be kept. It is wrapped to the
// picture's width and stays until the player dismisses it (a key or a pad
// button, once it has been up long enough to be read) or another
// notice takes its place.
class Notice {
public:
    Notice() = delete;

    static void show(const std::string& text);
    // The message on screen now, or "" when none is.
    static std::string current();
    static void clear();
    // Once a step of the game: a key or pad button pressed in it dismisses a
    // notice that has been up for `readSteps` or more.
    static void step();
    // Draws the message across the bottom of the picture, on as many lines
    // as it needs.
    static void draw();

    // The message's lines as drawn: words wrapped to `width` pixels of the
    // picture at the notice's size (a word wider than that is cut).
    static std::vector<std::string> lines(const std::string& text, float width);

    static constexpr unsigned characterSize = 12;
    static constexpr float margin = 8;
    // Two seconds of steps: a key pressed in haste does not dismiss unread.
    static int readSteps;
};
