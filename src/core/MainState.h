#pragma once

#include "GameState.h"
#include "GoalLine.h"
#include "StoryCast.h"

#include <SFML/System/Clock.hpp>

#include <string>

// The world, built from the map file.
class MainState : public GameState {
public:
    MainState();
    ~MainState() override;

    void update() override;
    void draw() override;

    // What to do next, over the world while the player walks.
    GoalLine goalLine;
    // Time played, for the closing card.
    sf::Clock played;
    // Who takes part in the story, as the map built them (see StoryState).
    StoryCast cast;
    // Steps the world has been played: one per update.
    long long playedSteps = 0;
    // The story as last saved or restored (SaveGame), so that only a change is saved.
    std::string storySaved;
};
