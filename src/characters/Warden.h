#pragma once

#include "core/Entity.h"
#include "story/StoryRole.h"

#include <SFML/System/Vector2.hpp>

#include <vector>

class DialogueTree;

// Guards a passage; steps aside while the player has more disguises than the
// story's part number, and goes back on guard when that no longer holds.
class Warden : public Entity, public StoryRole {
public:
    Warden(int x, int y);
    ~Warden() override;

    void update() override;
    void displayDialogue() override;
    void setState(int result) override;
    DialogueTree* opens(StoryState& story, std::size_t slot) const override;
    bool ends(StoryState& story, std::size_t slot, int result) const override;

    std::vector<DialogueTree*> dialogues; // owned: CastFiles::warden.conversations
    sf::Vector2i asidePosition;
    sf::Vector2i guardPosition;
    DialogueTree* mapDialogue = nullptr; // owned: a conversation the map gave him, never offered
    DialogueTree* waiting = nullptr;     // owned, may be null: CastFiles::warden.quiet, before the story begins
};
