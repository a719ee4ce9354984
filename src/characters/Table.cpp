#include "Table.h"

#include "Audio.h"
#include "DialogueTree.h"
#include "Game.h"
#include "Graphics.h"

#include <climits>

Table::Table(int x, int y)
    : Entity(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/table", 3);
}

Table::~Table()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
}

void Table::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    if (defaced) {
        dialogue = nullptr;
    } else {
        const int p = Game::part;
        if (p >= 0 && p <= 2 && Game::defacedTables == p
            && static_cast<std::size_t>(p) < dialogues.size())
            dialogue = dialogues[static_cast<std::size_t>(p)];
    }
    Entity::displayDialogue();
}

void Table::setState(int)
{
    // Three tables in all: once the last part has begun (its conversation can
    // still have a table's stacked over it) nothing more is defaced.
    if (Game::defacedTables > Game::part || defaced || Game::part > 2)
        return;
    ++Game::defacedTables;
    // Summed in 64 bits: a tile number near the int limit has no later picture.
    const long long look = static_cast<long long>(tile) + Game::defacedTables;
    sprite.setTexture(*Graphics::getTexture(tileset, look <= INT_MAX ? static_cast<int>(look) : -1), false);
    defaced = true;
    defacedOrder = Game::defacedTables;
    Audio::deface(Game::defacedTables);
}
