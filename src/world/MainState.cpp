#include "world/MainState.h"

#include "dialogue/DialogueState.h"
#include "screens/EndingCard.h"
#include "core/Game.h"
#include "story/Goals.h"
#include "world/Map.h"
#include "characters/Player.h"

#include <filesystem>

MainState::MainState()
{
    Map map;
    map.loadMap("testmap.json", this);
    roomBanner.rooms = map.rooms;
    tileSize = map.tileSize;
    cast = StoryCast::of(*this);
    // Worlds made before the goal line have no goal file: they play without
    // one (and the closing card names no ending). A file that is there must
    // be whole.
    if (std::filesystem::exists(Goals::file))
        goalLine.goals = Goals::load(Goals::file);
    Game::disguise = 0;
    Game::part = -1;
    EndingCard::requested = false;
}

MainState* MainState::beneath(GameState* state)
{
    while (auto* talk = dynamic_cast<DialogueState*>(state))
        state = talk->previous;
    return dynamic_cast<MainState*>(state);
}

MainState::~MainState() = default;

void MainState::update()
{
    // The story ended in the conversation that just closed: the closing card
    // goes up before anything moves again.
    if (EndingCard::requested) {
        EndingCard::open(this, goalLine.goals, EndingCard::stepsTime(playedSteps));
        return;
    }
    goalLine.update();
    GameState::update();
    idleLooks.update(*this);
    followPlayer();
}

void MainState::followPlayer()
{
    if (!player) {
        for (Entity* e : entities)
            if ((player = dynamic_cast<Player*>(e)))
                break;
        if (!player)
            return;
    }
    roomBanner.update(player->x + tileSize / 2, player->y + tileSize / 2);
}

void MainState::draw()
{
    GameState::draw();
    // Not under a conversation or the closing card.
    if (Game::currentState == this && !EndingCard::requested) {
        goalLine.draw();
        roomBanner.draw(goalLine.shown && !goalLine.text().empty() ? GoalLine::height : 0.f);
    }
}
