#pragma once

#include "core/Entity.h"

class DialogueTree;

// A character who can give up a disguise, and who leaves the map once the
// story has moved past its part.
class Victim : public Entity {
public:
    Victim(int x, int y);
    ~Victim() override;

    void update() override;
    void displayDialogue() override;
    void setState(int result) override;

    bool disguiseTaken = false;
    DialogueTree* secondDialogue = nullptr; // owned: offered while the disguise is kept
    int part = 0;
    bool removed = false;
};
