#include "characters/Warden.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "story/CastFiles.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

Warden::Warden(int x, int y)
    : Entity(x, y)
    , asidePosition(x + 32, y + 32)
    , guardPosition(x, y)
{
    dialogues = CastFiles::warden.conversations.load();
    waiting = CastFiles::warden.quiet.load().front();
}

Warden::~Warden()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
    delete waiting;
}

void Warden::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    StoryState story = StoryState::fromGame();
    DialogueTree* tree = opens(story, 0);
    DialogueTree::borrow(dialogue, mapDialogue, dialogues, tree);
    if (tree)
        Game::displayDialogue(tree, this);
}

DialogueTree* Warden::opens(StoryState& story, std::size_t) const
{
    if (StoryRules::wardenWaits(story) && waiting)
        return waiting;
    const int index = StoryRules::wardenConversation(story, dialogues.size());
    return index >= 0 ? dialogues[static_cast<std::size_t>(index)] : nullptr;
}

bool Warden::ends(StoryState& story, std::size_t slot, int) const
{
    // Only a conversation of the story's parts lets the player by.
    if (StoryRules::wardenStepsAside(story) && slot < story.wardensAside.size())
        story.wardensAside[slot] = 1;
    return false;
}

void Warden::setState(int result)
{
    StoryState story = StoryState::fromGame();
    story.wardensAside = {0};
    ends(story, 0, result);
    if (story.wardensAside[0]) {
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
