#pragma once

#include "screens/MenuScreen.h"
#include "story/SaveGame.h"

#include <SFML/Graphics/Texture.hpp>

class MainState;

// The first screen: New game, Continue (when there is a save), Settings and
// Quit, over the title picture. Starting a new game over a save asks first.
class TitleScreen : public MenuScreen {
public:
    // `world` (owned; null to build one when needed) is the fresh world that
    // a new game or Continue starts from; `slot` is what the save holds.
    TitleScreen(MainState* world, const SaveGame::Slot& slot);
    ~TitleScreen() override;

    void drawBackdrop() override;

    // Shows the menu for a save as `slot` describes it.
    void showSlot(const SaveGame::Slot& slot);
    // What Continue says about a slot: "Part 2, 12 min 05 s played".
    static std::string describe(const SaveGame::Slot& slot);
    // True while the screen asks whether to replace the save.
    bool asking() const { return askingToReplace; }

    SaveGame::Slot slot;
    MainState* world = nullptr;
    static const char* const picture;

protected:
    void refresh() override;
    void chosen(const std::string& id) override;
    void back() override;

private:
    void showMain();
    void askToReplace();
    // The fresh world, taken from the screen (built now when there is none);
    // null when it cannot be built (a notice says why).
    MainState* takeWorld();
    void startNew();

    bool askingToReplace = false;
    unsigned language = 0; // Catalogue::generation() the items were written at
    sf::Texture background;
    bool hasBackground = false;
};
