#include "story/StoryCast.h"

#include "core/GameState.h"
#include "characters/Table.h"
#include "characters/Victim.h"
#include "characters/Warden.h"

StoryCast StoryCast::of(const GameState& world)
{
    StoryCast cast;
    for (const Entity* e : world.entities) {
        if (const auto* v = dynamic_cast<const Victim*>(e)) {
            cast.victims.push_back(v);
            cast.victimParts.push_back(v->part);
        } else if (dynamic_cast<const Table*>(e)) {
            ++cast.tables;
        } else if (dynamic_cast<const Warden*>(e)) {
            ++cast.wardens;
        }
    }
    return cast;
}
