#pragma once

#include "screens/MenuScreen.h"

#include <set>
#include <string>

// Over the world or a conversation, on Escape: Resume, Settings, Map,
// Conversations, Quit to title, Quit. Leaving saves first; when the save cannot be written the menu
// says so and leaves only when asked again.
class PauseMenu : public MenuScreen {
public:
    explicit PauseMenu(GameState* below);

protected:
    void refresh() override;
    void chosen(const std::string& id) override;
    void back() override;

private:
    // Saves, or marks the item when that failed and it was not marked yet.
    // True when the game may leave.
    bool savedOrAccepted(const std::string& id, const std::string& unsavedLabel);

    unsigned language = 0;           // Catalogue::generation() the items were written at
    std::set<std::string> unsaved; // the items that leave without saving when taken again
};
