#pragma once

#include "core/GameState.h"

// A screen the player reads and closes, over the world or the pause menu:
// the Guildhall's map and the conversation log. It stands over `previous`
// without owning it (like the controls screen); the game stands still
// beneath. Escape, the pause key or button and the pad's east button (B)
// close it; so may a key of its own.
class OverlayScreen : public GameState {
public:
    // Open it over the current state: `Game::currentState = new
    // GuildhallMap(Game::currentState);`. Closing makes `previous` current
    // again and releases this screen.
    explicit OverlayScreen(GameState* previous);

    GameState* below() const override { return previous; }

    void close();
    // The keys and buttons that close every such screen went down.
    static bool backPressed();

    GameState* previous; // not owned
};
