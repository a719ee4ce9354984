#include "characters/IdleLooks.h"

#include "core/Entity.h"
#include "core/GameState.h"
#include "render/Graphics.h"

long IdleLooks::phase(int x, int y)
{
    const long column = x / 32, row = y / 32;
    const long slots = period / second;
    const long slot = (column * 7 + row * 3) % slots;
    return (slot < 0 ? slot + slots : slot) * second;
}

void IdleLooks::update(const GameState& world)
{
    ++steps;
    if (Graphics::pictureless)
        return; // the checker's world has no pictures to turn
    for (Entity* e : world.entities) {
        if (e->facings < 0 || !e->visible)
            continue;
        const long at = (steps + phase(e->x, e->y)) % period;
        if (at == 0) {
            Look& look = looks[e];
            if (look.turn.who)
                continue;
            look.turn = Facing::towards(e, look.glances % 2 ? 1 : 3);
            ++look.glances;
        } else if (at == length) {
            const auto found = looks.find(e);
            if (found == looks.end() || found->second.turn.who != e)
                continue;
            Facing::back(found->second.turn);
            found->second.turn = Facing::Turn();
        }
    }
}

void IdleLooks::settle(const GameState& world)
{
    for (Entity* e : world.entities) {
        const auto found = looks.find(e);
        if (found != looks.end() && found->second.turn.who == e) {
            Facing::back(found->second.turn);
            found->second.turn = Facing::Turn();
        }
    }
}
