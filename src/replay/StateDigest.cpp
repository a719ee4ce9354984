#include "StateDigest.h"

#include "DialogueBox.h"
#include "DialogueState.h"
#include "EndingCard.h"
#include "Entity.h"
#include "Game.h"
#include "GameState.h"
#include "MainState.h"
#include "WorldIdentity.h"

#include <typeinfo>

namespace {
void addEntities(std::string& text, const GameState& state)
{
    for (const Entity* e : state.entities) {
        const sf::IntRect r = e->sprite.getTextureRect();
        text += std::to_string(e->x) + ',' + std::to_string(e->y) + ',' + (e->visible ? 'v' : 'h') + ','
                + std::to_string(e->state) + ',' + std::to_string(r.left) + ',' + std::to_string(r.top) + ','
                + std::to_string(r.width) + ',' + std::to_string(r.height) + ';';
        if (auto* box = dynamic_cast<const DialogueBox*>(e))
            text += box->message.getString().toAnsiString() + ';';
    }
    text += '\n';
}
}

std::string StateDigest::now()
{
    std::string text = "part " + std::to_string(Game::part) + " disguise " + std::to_string(Game::disguise)
                       + " tables " + std::to_string(Game::defacedTables) + '\n';
    // From the current screen down through the ones it stands over.
    const GameState* state = Game::currentState;
    while (state) {
        text += typeid(*state).name();
        text += '\n';
        addEntities(text, *state);
        const GameState* below = nullptr;
        if (auto* talk = dynamic_cast<const DialogueState*>(state)) {
            below = talk->previous;
        } else if (auto* card = dynamic_cast<const EndingCard*>(state)) {
            below = card->world;
            text += card->ending + '\n';
        } else if (auto* world = dynamic_cast<const MainState*>(state)) {
            text += "played " + std::to_string(world->playedSteps) + '\n';
        }
        state = below;
    }
    return WorldIdentity::hex(WorldIdentity::fnv1a(text));
}
