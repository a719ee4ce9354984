#include "Boss.h"

#include "DialogueTree.h"
#include "Game.h"

#include <algorithm>

Boss::Boss(int x, int y)
    : Entity(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/boss", 4);
}

Boss::~Boss()
{
    if (std::find(dialogues.begin(), dialogues.end(), dialogue) != dialogues.end())
        dialogue = nullptr;
    for (DialogueTree* tree : dialogues)
        delete tree;
    dialogues.clear();
    delete mapDialogue;
}

void Boss::displayDialogue()
{
    if (dialogue && std::find(dialogues.begin(), dialogues.end(), dialogue) == dialogues.end()) {
        delete mapDialogue;
        mapDialogue = dialogue;
    }
    const int n = Game::defacedTables;
    if (static_cast<long long>(n) == static_cast<long long>(Game::part) + 1 && n >= 0
        && static_cast<std::size_t>(n) < dialogues.size()) {
        dialogue = dialogues[static_cast<std::size_t>(n)];
        Game::part = n;
    } else {
        dialogue = nullptr;
    }
    Entity::displayDialogue();
}

void Boss::setState(int)
{
    if (Game::part == 3)
        Game::end();
}
