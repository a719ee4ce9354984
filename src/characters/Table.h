#pragma once

#include "core/Entity.h"

#include <vector>

class DialogueTree;

// Furniture to deface: one table per part of the story.
class Table : public Entity {
public:
    Table(int x, int y);
    ~Table() override;

    void displayDialogue() override;
    void setState(int result) override;

    bool defaced = false;
    int defacedOrder = 0; // once defaced: 1 for the first table of the game, 2, 3
    std::vector<DialogueTree*> aftermath; // owned, entries may be null: tabledone1.xml to tabledone3.xml
    std::vector<DialogueTree*> dialogues; // owned: table0.xml to table2.xml
    DialogueTree* mapDialogue = nullptr;  // owned: the map's conversation once the list replaced it
};
