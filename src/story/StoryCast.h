#pragma once

#include <vector>

class Entity;
class GameState;

// Who takes part in the story, as the map loader built the world, each group
// in the world's list order: the victims (who can leave, so they are
// remembered here), the tables and the wardens. A story's state speaks of
// "the second table" or "the first warden" in this order.
class StoryCast {
public:
    // Read from a world that has not yet lost anyone (freshly built).
    static StoryCast of(const GameState& world);

    // Identity only: a victim that has left the world has been destroyed, so
    // these are compared with the world's entities, never followed.
    std::vector<const Entity*> victims;
    std::vector<int> victimParts;
    int tables = 0;
    int wardens = 0;
};
