#include "world/MainState.h"

#include "dialogue/DialogueState.h"
#include "screens/EndingCard.h"
#include "screens/KeyHints.h"
#include "core/Game.h"
#include "story/Goals.h"
#include "world/Map.h"
#include "characters/Player.h"
#include "render/PictureDigest.h"
#include "story/StoryState.h"

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
    // Only through screens in play (conversations): under a menu or the
    // closing card the world stands still.
    for (; state && state->inPlay(); state = state->below())
        if (auto* world = dynamic_cast<MainState*>(state))
            return world;
    return nullptr;
}

bool MainState::addToPictureDigest(PictureDigest& digest) const
{
    digest.add(goalLine.shown);
    digest.add(goalLine.text());
    digest.add(roomBanner.shown()), digest.add(roomBanner.opacity());
    digest.add(EndingCard::requested);
    KeyHints::addToPictureDigest(digest);
    digest.addEntities(*this);
    return true;
}

std::optional<std::string> MainState::storyText() const
{
    return StoryState::capture(*this).toText();
}

bool MainState::addToStateDigest(std::string& text) const
{
    text += "played " + std::to_string(playedSteps) + '\n';
    return true;
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
    KeyHints::update();
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
    seen.rooms.visit(roomBanner.room());
}

void MainState::draw()
{
    GameState::draw();
    // Not under a conversation or the closing card.
    if (Game::currentState == this && !EndingCard::requested) {
        goalLine.draw();
        roomBanner.draw(goalLine.shown && !goalLine.text().empty() ? goalLine.drawnHeight() : 0.f);
        KeyHints::draw();
    }
}
