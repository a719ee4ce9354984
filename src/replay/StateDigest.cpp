#include "replay/StateDigest.h"

#include "dialogue/DialogueBox.h"
#include "dialogue/DialogueState.h"
#include "screens/EndingCard.h"
#include "core/Entity.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "world/MainState.h"
#include "story/StoryState.h"
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
        if (auto* box = dynamic_cast<const DialogueBox*>(e))
            text += box->message.getString().toAnsiString() + ';';
    }
    text += '\n';
}
}

std::string StateDigest::now()
{
    // The story's own state, and what stands over the world: a conversation
    // and the page it shows, or the closing card.
    std::string over;
    GameState* state = Game::currentState;
    MainState* world = nullptr;
    while (state && !world) {
        if (auto* talk = dynamic_cast<DialogueState*>(state)) {
            over += "conversation:";
            for (const Entity* e : talk->entities)
                if (auto* box = dynamic_cast<const DialogueBox*>(e))
                    over += box->message.getString().toAnsiString();
            over += '\n';
            state = talk->previous;
        } else if (auto* card = dynamic_cast<EndingCard*>(state)) {
            over += "closing card: " + card->ending + '\n';
            state = card->world;
        } else if (!(world = dynamic_cast<MainState*>(state))) {
            break;
        }
    }
    if (!world)
        return everything();
    const StoryState story = StoryState::capture(*world);
    if (over.empty())
        return story.digest();
    return WorldIdentity::hex(WorldIdentity::fnv1a(story.toText() + over));
}

std::string StateDigest::everything()
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
