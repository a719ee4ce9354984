#include "characters/Table.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "render/Graphics.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

#include <climits>

Table::Table(int x, int y)
    : Entity(x, y)
{
    dialogues = DialogueTree::loadNumbered("res/txt/table", 3);
    aftermath = DialogueTree::loadNumberedIfPresent("res/txt/tabledone", 1, 3);
}

Table::~Table()
{
    DialogueTree::releaseList(dialogue, mapDialogue, dialogues);
    for (DialogueTree* tree : aftermath)
        delete tree;
}

void Table::displayDialogue()
{
    DialogueTree::keepOwned(dialogue, mapDialogue, dialogues);
    if (defaced) {
        dialogue = nullptr;
        // What was done to it.
        const int said = StoryRules::defacedTableConversation(defacedOrder, aftermath.size());
        if (said != StoryRules::noConversation && aftermath[static_cast<std::size_t>(said)])
            Game::displayDialogue(aftermath[static_cast<std::size_t>(said)], this);
        return;
    }
    // Otherwise the part's conversation, or the map's own, if it gave one.
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
    Audio::deface(order);
}
