#pragma once

#include "mapformat/MapRooms.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>

// The name of the room the player walks into, shown for a moment at the top
// of the picture (below the goal line when that is shown), then faded out.
// It is the picture's, not the story's: replays and saves know nothing of it.
class RoomBanner {
public:
    RoomBanner();

    // Follows the player's centre, in map pixels, once a step: walking into a
    // room of another name shows that name anew; leaving every room shows
    // nothing new.
    void update(int x, int y);
    // Draws in picture coordinates, `top` pixels down; nothing once faded.
    void draw(float top);

    // The room the player is in ("" when none) and the name on screen now
    // ("" when none).
    const std::string& room() const { return current; }
    std::string shown() const;
    // How opaque the name is now, 0 to 255: what the kept picture must know.
    int opacity() const;

    static constexpr int showSteps = 150; // at 60 steps a second
    static constexpr int fadeSteps = 40;  // the last of them, fading
    static constexpr unsigned characterSize = 16;

    MapRooms rooms;

private:
    std::string current;
    std::string named;
    int age = showSteps;
    sf::RectangleShape plate;
    sf::Text words;
};
