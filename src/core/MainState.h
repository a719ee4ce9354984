#pragma once

#include "GameState.h"
#include "GoalLine.h"


// The world, built from the map file.
class MainState : public GameState {
public:
    MainState();
    ~MainState() override;

    void update() override;
    void draw() override;

    // What to do next, over the world while the player walks.
    GoalLine goalLine;
    // Time played, for the closing card: the driver's steps (60 a second)
    // while this world or a conversation over it is current.
    long long playedSteps = 0;
    // The world `state` is, or stands over through conversations; null when
    // there is none (the closing card, no state).
    static MainState* beneath(GameState* state);
};
