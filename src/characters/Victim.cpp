#include "characters/Victim.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

Victim::Victim(int x, int y)
    : Entity(x, y)
{
}

Victim::~Victim()
{
    delete secondDialogue;
}

void Victim::setState(int result)
{
    if (disguiseTaken)
        return;
    state = result;
    StoryState story = StoryState::fromGame();
    story.victims = {StoryState::VictimState::kept};
    ends(story, 0, result);
    if (story.victims[0] != StoryState::VictimState::gave)
        return;
    disguiseTaken = true;
    // The last tile number has no picture after it: the sprite shows none.
    sprite.setTexture(*Graphics::getTexture(tileset, StoryRules::pictureAfter(tile, 1)), false);
    story.toGame();
    Audio::play(Audio::Cue::Livery);
}

void Victim::displayDialogue()
{
    StoryState story = StoryState::fromGame();
    story.victims = {disguiseTaken ? StoryState::VictimState::gave : StoryState::VictimState::kept};
    if (DialogueTree* offered = opens(story, 0))
        Game::displayDialogue(offered, this);
}

DialogueTree* Victim::opens(StoryState& story, std::size_t slot) const
{
    const bool given = slot < story.victims.size() && story.victims[slot] == StoryState::VictimState::gave;
    return StoryRules::victimAsks(given) ? secondDialogue : dialogue;
}

bool Victim::ends(StoryState& story, std::size_t slot, int result) const
{
    if (slot < story.victims.size()
        && StoryRules::victimGives(story, story.victims[slot] == StoryState::VictimState::gave, result))
        story.victims[slot] = StoryState::VictimState::gave;
    return false;
}

void Victim::update()
{
    if (removed || !StoryRules::victimLeaves(StoryState::fromGame(), part))
        return;
    if (owner)
        owner->remove(this);
    removed = true;
}
