#include "MainState.h"

#include "DialogueState.h"
#include "EndingCard.h"
#include "Game.h"
#include "Goals.h"
#include "Map.h"

MainState::MainState()
{
    Map map;
    map.loadMap("testmap.json", this);
    cast = StoryCast::of(*this);
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
}

void MainState::draw()
{
    GameState::draw();
    // Not under a conversation or the closing card.
    if (Game::currentState == this && !EndingCard::requested)
        goalLine.draw();
}
