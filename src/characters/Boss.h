#pragma once

#include "core/Entity.h"
#include "story/StoryRole.h"

#include <vector>

class DialogueTree;

// Moves the story on: each due talk opens his next conversation, and the end
// of the last one ends the game.
class Boss : public Entity, public StoryRole {
public:
    Boss(int x, int y);
    ~Boss() override;

    void displayDialogue() override;
    void setState(int result) override;
    DialogueTree* opens(StoryState& story, std::size_t slot) const override;
    bool ends(StoryState& story, std::size_t slot, int result) const override;

    std::vector<DialogueTree*> dialogues; // owned: CastFiles::boss.conversations
    DialogueTree* mapDialogue = nullptr;  // owned: a conversation the map gave him, never offered
    std::vector<DialogueTree*> reminders; // owned, entries may be null: CastFiles::boss.quiet
};
