#include "Warden.h"

#include "Audio.h"
#include "DialogueTree.h"
#include "Game.h"

Warden::Warden(int x, int y)
    : Entity(x, y)
    , asidePosition(x + 32, y + 32)
    , guardPosition(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/warden", 6);
}

Warden::~Warden()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
}

void Warden::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    dialogue = nullptr;
    if (Game::part >= 0 && Game::part <= 2) {
        const std::size_t index = 2 * static_cast<std::size_t>(Game::part)
                                  + (Game::disguise > Game::part ? 1 : 0);
        if (index < dialogues.size())
            dialogue = dialogues[index];
    }
    Entity::displayDialogue();
}

void Warden::setState(int)
{
    if (Game::disguise > Game::part) {
        if (x != asidePosition.x || y != asidePosition.y)
            Audio::play(Audio::Cue::WardenAside);
        x = asidePosition.x;
        y = asidePosition.y;
    }
}

void Warden::update()
{
    if (!(Game::disguise > Game::part) && x != guardPosition.x) {
        x = guardPosition.x;
        y = guardPosition.y;
    }
    sprite.setPosition(static_cast<float>(x), static_cast<float>(y));
    bounds.left = x;
    bounds.top = y;
}
