#pragma once

#include <csignal>
#include <optional>

namespace sf {
class Event;
}

class GameState;
class MainState;

// What stands around the world: the title screen, the pause menu, the
// settings, and when the game saves. The driver calls it at a few points of
// its loop; the menus call it to start, continue, leave and quit.
class Shell {
public:
    Shell() = delete;

    enum class Start { Title, NewGame, Continue };

    // Before the game starts: reads the settings (a bad file: one line on
    // standard error) and sets up the signals that ask the game to quit.
    // `fullscreen` (from the command line) wins over the settings.
    static void startUp(Start start, std::optional<bool> fullscreen);
    // The first state, given the freshly built world: the title screen
    // holding it, or the world itself for a new game or one continued. The
    // window is set up as the settings have it first.
    static GameState* begin(MainState* world);

    // Once a frame, after the key snapshot and before the current state's
    // update: a quit asked for (window, signal) saves and ends the game, and
    // Escape in the world or a conversation opens the pause menu. False when
    // the current state must not be updated in this frame.
    static bool beforeUpdate();
    // Mouse events for the menus.
    static void handleEvent(const sf::Event& event);
    // What goes over any state: a notice.
    static void drawOverlay();
    // A digest of what drawOverlay() draws now: the picture changes with it.
    static unsigned long long overlayDigest();

    // The window's close button, SIGTERM, SIGHUP and SIGINT: the game saves
    // and quits in the next frame.
    static void requestQuit();
    static volatile std::sig_atomic_t quitRequested;
    static void installSignalHandlers();

    // The world that is being played (under any menu or conversation), or
    // null on the title screen.
    static MainState* worldInPlay();

    // Makes `world` the game being played: a new story.
    static void newGame(MainState* world);
    // Applies the save to `world` and makes it current; false (and a
    // notice) when the save could not be restored, `world` left untouched.
    static bool continueGame(MainState* world);
    // Saves the world in play. False (and a notice) when the file could not
    // be written; true when there is nothing to save or saving is off.
    static bool save();
    // Saves and goes back to the title, releasing everything that is current.
    static void toTitle();
    // Saves and ends the game.
    static void quit();
};
