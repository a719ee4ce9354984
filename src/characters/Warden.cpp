#include "characters/Warden.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

Warden::Warden(int x, int y)
    : Entity(x, y)
    , asidePosition(x + 32, y + 32)
    , guardPosition(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/warden", 6);
    waiting = DialogueTree::loadIfPresent("res/txt/wardenwait.xml");
}

Warden::~Warden()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
    delete waiting;
}

void Warden::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    dialogue = nullptr;
    if (StoryRules::wardenWaits(StoryState::fromGame()) && waiting) {
        Game::displayDialogue(waiting, this);
        return;
    }
    const int index = StoryRules::wardenConversation(StoryState::fromGame(), dialogues.size());
    dialogue = index >= 0 ? dialogues[static_cast<std::size_t>(index)] : nullptr;
    Entity::displayDialogue();
}

void Warden::setState(int)
{
    // Only a conversation of the story's parts lets the player by.
    if (StoryRules::wardenStepsAside(StoryState::fromGame())) {
        if (x != asidePosition.x || y != asidePosition.y)
            Audio::play(Audio::Cue::WardenAside);
        x = asidePosition.x;
        y = asidePosition.y;
    }
}

void Warden::update()
{
    if (!StoryRules::wardenStandsAside(StoryState::fromGame()) && x != guardPosition.x) {
        x = guardPosition.x;
        y = guardPosition.y;
    }
    sprite.setPosition(static_cast<float>(x), static_cast<float>(y));
    bounds.left = x;
    bounds.top = y;
}
