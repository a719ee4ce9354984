#pragma once

#include "characters/IdleLooks.h"
#include "core/GameState.h"
#include "screens/GoalLine.h"
#include "story/SeenSoFar.h"
#include "story/StoryCast.h"
#include "world/RoomBanner.h"


#include <string>

class Player;

// The world, built from the map file.
class MainState : public GameState {
public:
    MainState();
    ~MainState() override;

    void update() override;
    void draw() override;

    bool inPlay() const override { return true; }
    bool addToPictureDigest(PictureDigest& digest) const override;
    std::optional<std::string> storyText() const override;
    bool addToStateDigest(std::string& text) const override;

    // What to do next, over the world while the player walks.
    GoalLine goalLine;
    // The name of the room walked into, over the world like the goal line.
    RoomBanner roomBanner;
    // People glancing about while the player walks.
    IdleLooks idleLooks;
    // Who takes part in the story, as the map built them (see StoryState).
    StoryCast cast;
    // Time played, for the closing card: the driver's steps (60 a second)
    // while this world or a conversation over it is current.
    long long playedSteps = 0;
    // The rooms walked into and the conversations held, for the map and the
    // log: kept in the saved game, not in the story's state.
    SeenSoFar seen;
    // The story as last saved or restored (SaveGame), so that only a change is saved.
    std::string storySaved;
    // The world `state` is, or stands over through screens in play
    // (conversations); null when there is none (a menu, the closing card, no
    // state). For the world in play under any screen: find<MainState>().
    static MainState* beneath(GameState* state);

private:
    // The banner follows the player's centre.
    void followPlayer();
    Player* player = nullptr; // found on the first step
    int tileSize = 0;
};
