#pragma once

#include <SFML/Graphics/Font.hpp>

// The lettering of the goal line and the closing card: the game's font, read
// on first use. Without the font file the text stays empty, as in the
// conversation panel.
class StoryFont {
public:
    StoryFont() = delete;

    static const sf::Font& get();
};
