#include "Boss.h"

#include "Audio.h"
#include "DialogueTree.h"
#include "EndingCard.h"
#include "Game.h"

Boss::Boss(int x, int y)
    : Entity(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/boss", 4);
}

Boss::~Boss()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
}

void Boss::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    const int n = Game::defacedTables;
    if (static_cast<long long>(n) == static_cast<long long>(Game::part) + 1 && n >= 0
        && static_cast<std::size_t>(n) < dialogues.size()) {
        dialogue = dialogues[static_cast<std::size_t>(n)];
        Game::part = n;
        Audio::play(Audio::Cue::Report);
    } else {
        dialogue = nullptr;
    }
    Entity::displayDialogue();
}

void Boss::setState(int result)
{
    // The end of the story: the closing card names the ending that the last
    // answer chose, and ends the game.
    if (Game::part == 3)
        EndingCard::request(result);
}
