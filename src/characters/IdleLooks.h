#pragma once

#include "characters/Facing.h"

#include <map>

class Entity;
class GameState;

// People standing about look aside now and then: every `period` steps of the
// world each character with facings glances left or right (in turn) for
// `length` steps, then looks ahead again, each at its own moment (by its
// place on the map), so that they seldom move together. Glances start and
// end only on whole seconds, so that a still picture is drawn anew at most
// once a second for them. The world runs this only while the player walks:
// never in a conversation. A picture changed meanwhile (a victim that lent
// its livery) is kept.
class IdleLooks {
public:
    // One step of the world.
    void update(const GameState& world);
    // Ends every glance under way in `world`: everyone looks ahead, as in a
    // world just built (a game continued starts so).
    void settle(const GameState& world);

    // When a character at `x`, `y` (pixels) starts a glance, in steps past a
    // multiple of `period`.
    static long phase(int x, int y);

    static constexpr long second = 60;          // steps
    static constexpr long period = 10 * second; // between one's glances
    static constexpr long length = second;

    long steps = 0;

private:
    struct Look {
        Facing::Turn turn;
        long glances = 0;
    };
    std::map<const Entity*, Look> looks;
};
