#pragma once

#include "render/DrawIndex.h"

#include <SFML/System/Vector2.hpp>

#include <vector>

class Entity;

// A screen of the game: a list of entities updated and drawn together.
class GameState {
public:
    GameState() = default;
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;
    virtual ~GameState();

    virtual void update();
    virtual void draw();

    void add(Entity* e);
    void remove(Entity* e);
    void deleteRemoved();
    std::vector<Entity*> collide(Entity* e, sf::Vector2<int> const& offset);

    std::vector<Entity*> entities;        // owned, in the order they were added
    std::vector<Entity*> removedEntities; // queued for destruction, still in entities
    // Which entities the draw pass looks at: those whose pictures may be in view.
    DrawIndex drawIndex;
};
