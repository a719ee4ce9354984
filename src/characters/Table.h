#pragma once

#include "core/Entity.h"
#include "story/StoryRole.h"

#include <vector>

class DialogueTree;
class StoryState;

// Furniture to deface: one table per part of the story.
class Table : public Entity, public StoryRole {
public:
    Table(int x, int y);
    ~Table() override;

    void displayDialogue() override;
    void setState(int result) override;
    DialogueTree* opens(StoryState& story, std::size_t slot) const override;
    bool ends(StoryState& story, std::size_t slot, int result) const override;

    bool defaced = false;
    int defacedOrder = 0; // once defaced: 1 for the first table of the game, 2, 3
    std::vector<DialogueTree*> aftermath; // owned, entries may be null: CastFiles::table.quiet
    std::vector<DialogueTree*> dialogues; // owned: CastFiles::table.conversations
    DialogueTree* mapDialogue = nullptr;  // owned: the map's conversation once the list replaced it

private:
    // The story's counters with this table as its only one.
    StoryState alone() const;
};
