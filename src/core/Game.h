#pragma once

#include <SFML/Graphics/RenderWindow.hpp>

#include <vector>

class GameState;
class DialogueTree;
class Entity;

// The static driver: the one window, the current state, the frame loop and the
// three story counters.
class Game {
public:
    Game() = delete;

    static sf::RenderWindow window;
    static GameState* currentState;
    static bool running;
    static int part;
    static int disguise;
    static int defacedTables;

    // States replaced by changeState() while their own update pass may still be
    // on the call stack. The loop releases them once that pass has returned.
    static std::vector<GameState*> retiredStates;

    static void initialize();
    static void run();
    static void end();
    static void displayDialogue(DialogueTree const* tree, Entity* speaker);
    static void changeState(GameState* next);
    static void cleanUp();

    // One frame after the key snapshot: update the current state, release the
    // states it replaced, draw whatever is current now, display and clear.
    static void frame();
    static void releaseRetired();
    // Destroys the current state, any states it interrupted and the retired ones.
    static void destroyStates();
};
