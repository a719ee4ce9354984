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
    if (!StoryRules::victimGives(story, disguiseTaken, result))
        return;
    disguiseTaken = true;
    // The last tile number has no picture after it: the sprite shows none.
    sprite.setTexture(*Graphics::getTexture(tileset, StoryRules::pictureAfter(tile, 1)), false);
    story.toGame();
    Audio::play(Audio::Cue::Livery);
}

void Victim::displayDialogue()
{
    DialogueTree* offered = StoryRules::victimAsks(disguiseTaken) ? secondDialogue : dialogue;
    if (offered)
        Game::displayDialogue(offered, this);
}

void Victim::update()
{
    if (removed || !StoryRules::victimLeaves(StoryState::fromGame(), part))
        return;
    if (owner)
        owner->remove(this);
    removed = true;
}
