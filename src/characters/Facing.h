#pragma once

#include <SFML/Graphics/Texture.hpp>

class Entity;
class GameState;

// Characters turn to face the player who speaks to them, and turn back when
// the conversation ends. Their four facings come from the characters' sheet
// (gfx/people.png, 32 x 32 frames, one row per look: up, right, down, left,
// as in the player's sheet), at the row their tile's "facings" property
// names; a victim who has lent its livery looks from the row after. Anyone
// without facings keeps its one picture.
class Facing {
public:
    // The sheet's file and its name in the tile cache.
    static const char* const sheetFile;
    static const char* const sheetName;

    // One turn, kept to undo it.
    struct Turn {
        Entity* who = nullptr;
        const sf::Texture* before = nullptr; // the picture it showed
        const sf::Texture* turned = nullptr; // the facing it was given
    };

    // The sheet's column for facing from `from` towards `to` (whole pixels):
    // 0 up, 1 right, 2 down, 3 left. Along the longer distance; down when
    // both are in the same place.
    static int column(sf::Vector2i from, sf::Vector2i to);
    // Turns `speaker` towards the player of `world` (or of the state a
    // conversation over it interrupted). Nothing happens to an entity without
    // facings, or when there is no player.
    static Turn towardsPlayer(Entity* speaker, const GameState* world);
    // Turns `who` to a column of its facings (a glance about); nothing
    // happens to an entity without facings or when the sheet lacks the frame.
    static Turn towards(Entity* who, int column);
    // The frame of `who`'s facings at a column (the look it has now), or
    // null when it has no facings or the sheet lacks the frame.
    static const sf::Texture* frame(const Entity* who, int column);
    // Gives back the picture from before the turn, unless the conversation
    // changed the picture itself (a victim that lent its livery).
    static void back(const Turn& turn);
};
