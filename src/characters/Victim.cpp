#include "Victim.h"

#include "Audio.h"
#include "DialogueTree.h"
#include "Game.h"
#include "GameState.h"
#include "Graphics.h"

#include <climits>

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
    if (result == 0 || result == 2)
        return;
    disguiseTaken = true;
    // The last tile number has no picture after it: the sprite shows none.
    sprite.setTexture(*Graphics::getTexture(tileset, tile < INT_MAX ? tile + 1 : -1), false);
    ++Game::disguise;
    Audio::play(Audio::Cue::Livery);
}

void Victim::displayDialogue()
{
    DialogueTree* offered = disguiseTaken ? dialogue : secondDialogue;
    if (offered)
        Game::displayDialogue(offered, this);
}

void Victim::update()
{
    if (part >= Game::part || removed)
        return;
    if (owner)
        owner->remove(this);
    removed = true;
}
