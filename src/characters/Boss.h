#pragma once

#include "core/Entity.h"

#include <vector>

class DialogueTree;

// Moves the story on: each due talk opens his next conversation, and the end
// of the last one ends the game.
class Boss : public Entity {
public:
    Boss(int x, int y);
    ~Boss() override;

    void displayDialogue() override;
    void setState(int result) override;

    std::vector<DialogueTree*> dialogues; // owned: boss0.xml to boss3.xml
    DialogueTree* mapDialogue = nullptr;  // owned: a conversation the map gave him, never offered
    std::vector<DialogueTree*> reminders; // owned, entries may be null: bosswait0.xml to bosswait2.xml
};
