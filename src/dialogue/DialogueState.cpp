#include "DialogueState.h"

#include "Audio.h"
#include "DialogueBox.h"
#include "Game.h"

DialogueState::DialogueState(GameState* previous, Entity* speaker, DialogueTree const* tree)
    : previous(previous)
{
    add(new DialogueBox(tree, speaker, this));
    Audio::conversation(true);
}

void DialogueState::draw()
{
    if (previous)
        previous->draw();
    GameState::draw();
}

void DialogueState::finished()
{
    // The driver releases this state once its update pass has returned.
    Audio::conversation(false);
    Game::changeState(previous);
}
