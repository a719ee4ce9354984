#pragma once

#include "characters/Facing.h"
#include "core/GameState.h"

class DialogueTree;
class Entity;

// A conversation shown over the state it interrupted, which stands still beneath it.
class DialogueState : public GameState {
public:
    DialogueState(GameState* previous, Entity* speaker, DialogueTree const* tree);

    void draw() override;
    void finished();

    GameState* below() const override { return previous; }
    bool inPlay() const override { return true; }
    bool addToPictureDigest(PictureDigest& digest) const override;
    bool addOverStory(std::string& text) const override;
    bool addToStateDigest(std::string& text) const override;

    // The conversation's log (LogBook) in the world beneath: each page shown
    // and each answer chosen, as the box shows them. It is the saved game's,
    // not the story's: the digests take no notice of it.
    void logPages(DialogueTree const* node);
    void logAnswer(const std::string& answer);

    GameState* previous = nullptr; // not owned
    // The speaker faces the player while the conversation lasts.
    Facing::Turn turn;
};
