#pragma once

#include "GameState.h"

// The world, built from the map file.
class MainState : public GameState {
public:
    MainState();
    ~MainState() override;
};
