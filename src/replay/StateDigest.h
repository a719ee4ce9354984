#pragma once

#include <string>

class GameState;

// What the game's state is now, as 16 hex digits: two runs that reach the same
// state give the same digest, and a replay that went another way a different
// one. In the world it is the story state's own digest (what a save holds);
// over it, the conversation's page or the closing card count too.
class StateDigest {
public:
    StateDigest() = delete;

    static std::string now();
    // Without a world (a screen of its own): the counters, which screens are
    // current and every entity of theirs (place, visibility, state, picture).
    static std::string everything();
};
