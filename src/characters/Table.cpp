#include "characters/Table.h"

#include "audio/Audio.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Game.h"
#include "render/Graphics.h"
#include "story/CastFiles.h"
#include "story/StoryRules.h"
#include "story/StoryState.h"

#include <algorithm>
#include <climits>

Table::Table(int x, int y)
    : Entity(x, y)
{
    dialogues = CastFiles::table.conversations.load();
    aftermath = CastFiles::table.quiet.load();
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
    StoryState story = alone();
    DialogueTree* tree = opens(story, 0);
    DialogueTree::borrow(dialogue, mapDialogue, dialogues, tree);
    if (tree)
        Game::displayDialogue(tree, this);
}

StoryState Table::alone() const
{
    StoryState story = StoryState::fromGame();
    story.tables = {defaced ? std::max(defacedOrder, 1) : 0};
    return story;
}

DialogueTree* Table::opens(StoryState& story, std::size_t slot) const
{
    const int order = slot < story.tables.size() ? story.tables[slot] : 0;
    if (order != 0) {
        // What was done to it.
        const int said = StoryRules::defacedTableConversation(order, aftermath.size());
        return said >= 0 ? aftermath[static_cast<std::size_t>(said)] : nullptr;
    }
    // Otherwise the part's conversation, or the map's own, if it gave one.
    const int offer = StoryRules::tableConversation(story, false, dialogues.size());
    if (offer >= 0)
        return dialogues[static_cast<std::size_t>(offer)];
    return offer == StoryRules::ownConversation ? DialogueTree::ownOf(dialogue, mapDialogue, dialogues) : nullptr;
}

bool Table::ends(StoryState& story, std::size_t slot, int) const
{
    if (slot >= story.tables.size())
        return false;
    if (const int order = StoryRules::defaceTable(story, story.tables[slot] != 0))
        story.tables[slot] = order;
    return false;
}

void Table::setState(int result)
{
    StoryState story = alone();
    const int before = story.tables[0];
    ends(story, 0, result);
    const int order = story.tables[0];
    if (order == before)
        return;
    story.toGame();
    // The first table defaced in the game shows its second picture, and so on.
    sprite.setTexture(*Graphics::getTexture(tileset, StoryRules::pictureAfter(tile, order)), false);
    defaced = true;
    defacedOrder = order;
    Audio::deface(order);
}
