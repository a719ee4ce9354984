#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>
#include <vector>

// The lettering of the map and the conversation log, made in one place:
// UTF-8 words in the story's font at a size in picture pixels, measured and
// wrapped the way they are drawn.
class ScreenText {
public:
    ScreenText() = delete;

    static sf::Text make(const std::string& words, unsigned size, sf::Color colour);
    static float width(const std::string& words, unsigned size);
    // Draws into the window, through the view it has now, with the text's
    // top-left corner at (x, y).
    static void draw(const std::string& words, float x, float y, unsigned size, sf::Color colour);
    // The lines `text` takes at most `width` wide: broken at spaces and at
    // its own line breaks, a word wider than a line broken where it must be.
    static std::vector<std::string> wrap(const std::string& text, unsigned size, float width);
};
