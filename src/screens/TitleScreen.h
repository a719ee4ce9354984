#pragma once

#include "screens/MenuScreen.h"
#include "story/SaveGame.h"

#include <SFML/Graphics/Texture.hpp>

class MainState;

// The first screen: New game, Continue (when there is a save), Settings and
// Quit, over the title picture, and the endings reached so far. Starting a new
// game over a save that could be continued asks first.
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
    // "Endings: 2 of 3" under the menu once an ending has been reached; "".
    const std::string& endingsLine() const { return endings; }

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
    // The endings line for the endings kept on disk and the world's own.
    std::string countEndings() const;

    bool askingToReplace = false;
    unsigned language = 0; // Catalogue::generation() the items were written at
    std::string endings;
    sf::Texture background;
    bool hasBackground = false;
};
