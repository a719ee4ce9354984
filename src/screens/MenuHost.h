#pragma once

class MainState;

// What the menus ask of the game around them: starting, continuing, saving
// and going back to the title. The shell, a layer above the screens,
// implements it and installs itself (Shell.cpp), so that no screen includes
// the shell. Before that, the menus do nothing of the kind.
class MenuHost {
public:
    virtual ~MenuHost() = default;

    // Makes `world` the game being played: a new story.
    virtual void newGame(MainState* world) = 0;
    // Applies the save to `world` and makes it current; false (and a notice)
    // when the save could not be restored.
    virtual bool continueGame(MainState* world) = 0;
    // Saves the world in play; false (and a notice) when it could not.
    virtual bool save() = 0;
    // Saves and goes back to the title, releasing everything current.
    virtual void toTitle() = 0;

    // The one installed; null before the shell installs itself.
    static MenuHost* installed;
};
