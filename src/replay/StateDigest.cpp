#include "replay/StateDigest.h"

#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "disk/WorldIdentity.h"

#include <typeinfo>

namespace {
void addEntities(std::string& text, const GameState& state)
{
    for (const Entity* e : state.entities) {
        const sf::IntRect r = e->sprite.getTextureRect();
        text += std::to_string(e->x) + ',' + std::to_string(e->y) + ',' + (e->visible ? 'v' : 'h') + ','
                + std::to_string(e->state) + ',' + std::to_string(r.left) + ',' + std::to_string(r.top) + ','
                + std::to_string(r.width) + ',' + std::to_string(r.height) + ';';
        if (const sf::String* words = e->shownWords())
            text += words->toAnsiString() + ';';
    }
    text += '\n';
}
}

std::string StateDigest::now()
{
    // The story's own state, and what stands over the world: each screen
    // above it (a conversation and the page it shows, the closing card) adds
    // its part; a screen that hides the story leaves the digest to
    // everything().
    std::string over;
    for (const GameState* state = Game::currentState; state; state = state->below()) {
        if (const std::optional<std::string> story = state->storyText()) {
            // Alone, the story's own digest (StoryState::digest).
            return WorldIdentity::hex(WorldIdentity::fnv1a(over.empty() ? *story : *story + over));
        }
        if (!state->addOverStory(over))
            break;
    }
    return everything();
}

std::string StateDigest::everything()
{
    std::string text = "part " + std::to_string(Game::part) + " disguise " + std::to_string(Game::disguise)
                       + " tables " + std::to_string(Game::defacedTables) + '\n';
    // From the current screen down through the ones it lets count.
    for (const GameState* state = Game::currentState; state; state = state->below()) {
        text += typeid(*state).name();
        text += '\n';
        addEntities(text, *state);
        if (!state->addToStateDigest(text))
            break;
    }
    return WorldIdentity::hex(WorldIdentity::fnv1a(text));
}
