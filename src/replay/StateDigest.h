#pragma once

#include <string>

class GameState;

// What the game's state is now, as 16 hex digits: two runs that reach the same
// state give the same digest, and a replay that went another way a different
// one. It covers the story's counters, which kind of screen is current, the
// conversation on screen and every entity of the world (place, visibility,
// state, picture).
class StateDigest {
public:
    StateDigest() = delete;

    static std::string now();
};
