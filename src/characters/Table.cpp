#include "Table.h"

#include "DialogueTree.h"
#include "Game.h"
#include "Graphics.h"
#include "StoryRules.h"
#include "StoryState.h"

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
    // Otherwise the map's conversation, if it gave one.
    const int offer = StoryRules::tableConversation(StoryState::fromGame(), defaced, dialogues.size());
    if (offer == StoryRules::noConversation)
        dialogue = nullptr;
    else if (offer >= 0)
        dialogue = dialogues[static_cast<std::size_t>(offer)];
    Entity::displayDialogue();
}

void Table::setState(int)
{
    StoryState story = StoryState::fromGame();
    const int order = StoryRules::defaceTable(story, defaced);
    if (order == 0)
        return;
    story.toGame();
    // The first table defaced in the game shows its second picture, and so on.
    sprite.setTexture(*Graphics::getTexture(tileset, StoryRules::pictureAfter(tile, order)), false);
    defaced = true;
    defacedOrder = order;
}
