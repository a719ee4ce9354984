#pragma once

#include <SFML/Graphics/RenderWindow.hpp>

#include <vector>

namespace sf {
class Event;
}

class GameState;
class DialogueTree;
class Entity;

// The static driver: the one window, the current state, the frame loop and the
// three story counters.
class Game {
public:
    Game() = delete;

    // Made when the game starts (makeWindow(), openWindow()), never before
    // main; nothing may use it before.
    static sf::RenderWindow& window;
    static GameState* currentState;
    static bool running;
    static int part;
    static int disguise;
    static int defacedTables;

    // States replaced by changeState() while their own update pass may still be
    // on the call stack. The loop releases them once that pass has returned.
    static std::vector<GameState*> retiredStates;

    // The size of the game's picture, whatever the size of the window.
    static constexpr unsigned pictureWidth = 640;
    static constexpr unsigned pictureHeight = 480;
    // A view of the whole picture, (0, 0) to (640, 480), shown where the world
    // is shown: for what stays in place on screen while the camera moves.
    static sf::View pictureView();
    // Switches between a fullscreen window and a normal one. Works before
    // initialize() too; leaving fullscreen restores the window's last size.
    static void setFullscreen(bool on);
    static bool fullscreen;

    // Where the picture goes in a window of the given size, as a view's
    // viewport, centred: the largest whole-number scale that fits, or the
    // largest of any where the chosen scale fills the screen (WindowLimits).
    static sf::FloatRect pictureViewport(sf::Vector2u windowSize);
    // The whole-number scale the window opens at: the largest that keeps it
    // within 90 % of the desktop's width and height, and at least 1.
    static unsigned startScale(unsigned desktopWidth, unsigned desktopHeight);
    // Gives the window's view the picture's size and the viewport that fits
    // the window as it is now; the view keeps its centre.
    static void fitView();
    // One of the window's events: close, resizing, the fullscreen keys (F11,
    // Alt+Return); key and focus events go on to the keyboard, mouse events
    // to the menus.
    static void handleEvent(const sf::Event& event);

    // Opens the window at the size that suits the desktop, unless it is open.
    // initialize() does so; nothing opens it before main.
    static void openWindow();
    // Makes the window object without opening it (a headless game's view).
    static void makeWindow();
    // Runs the game without a window (a replay played as fast as it goes):
    // the view is set as usual, nothing is drawn.
    static bool headless;
    // Milliseconds to sleep after every picture shown (--lag): a slow machine
    // on demand.
    static int lagMs;

    static void initialize();
    static void run();
    static void end();
    static void displayDialogue(DialogueTree const* tree, Entity* speaker);
    static void changeState(GameState* next);
    static void cleanUp();

    // One frame after the key snapshot: step(), then show().
    static void frame();
    // One step of the logic after the key snapshot: update the current state,
    // release the states it replaced, count the step as played.
    static void step();
    // Draws whatever is current now, displays and clears; true. In the
    // game's loop (StillFrame::enabled), when the picture would be the one
    // on screen, draws and displays nothing and is false.
    static bool show();
    static void releaseRetired();
    // Destroys the current state, any states it interrupted and the retired ones.
    static void destroyStates();
    // Destroys `state` and whatever it stands over without owning it.
    static void destroyChain(GameState* state);
};
