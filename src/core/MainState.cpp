#include "MainState.h"

#include "Game.h"
#include "Map.h"

MainState::MainState()
{
    Map map;
    map.loadMap("testmap.json", this);
    Game::disguise = 0;
    Game::part = -1;
}

MainState::~MainState() = default;
