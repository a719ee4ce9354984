#pragma once

#include "screens/MenuScreen.h"

#include <functional>
#include <string>
#include <vector>

// Window scale, fullscreen and the goal line, applied at once and kept in
// the settings file; more entries can be added (the sound's volumes), and
// the key bindings' own screen opens from here once it is there.
class SettingsScreen : public MenuScreen {
public:
    // `below` is the screen to go back to (the title or the pause menu).
    explicit SettingsScreen(MenuScreen* below);

    // An entry another part of the game adds: its line as it reads now, and
    // what Left/Right (step -1/+1) and Return (step +1) do to it.
    struct Entry {
        std::string id;
        std::function<std::string()> label;
        std::function<void(int step)> adjust;
    };
    static std::vector<Entry> entries;

    // Makes the key bindings' screen over `back`, which it must hand back
    // with Game::changeState(back) when done. While it is not set, the
    // "Controls" entry is hidden.
    static std::function<GameState*(GameState* back)> controlsScreen;

protected:
    void refresh() override;
    void chosen(const std::string& id) override;
    void adjusted(const std::string& id, int step) override;
    void back() override;
};
