#pragma once

#include "core/Entity.h"

#include <SFML/System/Vector2.hpp>

#include <vector>

class DialogueTree;

// Guards a passage; steps aside while the player has more disguises than the
// story's part number, and goes back on guard when that no longer holds.
class Warden : public Entity {
public:
    Warden(int x, int y);
    ~Warden() override;

    void update() override;
    void displayDialogue() override;
    void setState(int result) override;

    std::vector<DialogueTree*> dialogues; // owned: warden0.xml to warden5.xml
    sf::Vector2i asidePosition;
    sf::Vector2i guardPosition;
    DialogueTree* mapDialogue = nullptr; // owned: a conversation the map gave him, never offered
    DialogueTree* waiting = nullptr;     // owned, may be null: wardenwait.xml, before the story begins
};
