#pragma once

#include "screens/OverlayScreen.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>

class MainState;
class Player;

// The map of the Guildhall, from the pause menu or the map's key: the world's
// own tiles drawn small, each room the player has walked into lit and named,
// the others left dark, and where he stands marked. The map's key, Escape or
// the pad's back closes it.
class GuildhallMap : public OverlayScreen {
public:
    explicit GuildhallMap(GameState* previous);

    void update() override;
    void draw() override;
    // The rooms lit, where the player stands and the words on screen: the
    // map stands still (the world beneath does not move) until one changes.
    bool addToPictureDigest(PictureDigest& digest) const override;

    // Where the world's pixel (x, y) lands in the picture.
    sf::Vector2f toPicture(float x, float y) const;
    // The player's place in the world, in pixels; null when there is none.
    const Player* player() const;
    // The line at the bottom: which keys close the map, how many rooms are lit.
    std::string footer() const;

    MainState* world = nullptr; // the world beneath, not owned; null: nothing to show
    sf::FloatRect extent;       // the world's pixels the map shows
    sf::FloatRect area;         // where they go in the picture
    float scale = 1;            // picture pixels per world pixel

    static constexpr unsigned nameSize = 10;
};
