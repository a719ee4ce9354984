#pragma once

#include "core/Entity.h"
#include "story/StoryRole.h"

class DialogueTree;

// A character who can give up a disguise, and who leaves the map once the
// story has moved past its part.
class Victim : public Entity, public StoryRole {
public:
    Victim(int x, int y);
    ~Victim() override;

    void update() override;
    void displayDialogue() override;
    void setState(int result) override;
    DialogueTree* opens(StoryState& story, std::size_t slot) const override;
    bool ends(StoryState& story, std::size_t slot, int result) const override;

    bool disguiseTaken = false;
    DialogueTree* secondDialogue = nullptr; // owned: offered while the disguise is kept
    int part = 0;
    bool removed = false;
};
