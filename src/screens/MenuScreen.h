#pragma once

#include "core/GameState.h"
#include "screens/Menu.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>
#include <vector>

// A menu on a panel, over what it interrupted: the title screen, the pause
// menu and the settings screen. What it stands over is drawn beneath it and
// never updated, so a world beneath stands still.
class MenuScreen : public GameState {
public:
    // Takes `underneath` over (null for none): it is released with this
    // screen unless handed back with leave().
    explicit MenuScreen(GameState* underneath);
    ~MenuScreen() override;

    void update() override;
    void draw() override;

    GameState* below() const override { return underneath; }
    bool ownsBelow() const override { return true; }
    // The heading, the items as they read and which one is selected, and the
    // list's place: a menu stands still until one of them changes.
    bool addToPictureDigest(PictureDigest& digest) const override;
    // What shows behind the panel: by default what this screen stands over,
    // dimmed (a menu over a menu shows the first one's backdrop only).
    virtual void drawBackdrop();

    // Acts on a key command or a pointer, as update() does.
    void act(const Menu::Outcome& outcome);
    // Makes the screen beneath current again, handing it back; this screen
    // is released once its update pass has returned.
    void leave();
    // Opens `next` over this screen (which `next` then owns).
    void open(MenuScreen* next);

    // The command this frame's keys give (arrows or WASD, Return or Space,
    // Escape).
    static Menu::Command keyCommand();

    // Where draw() puts the panel and every line of text on it (heading,
    // labels, details), in the picture's coordinates; the list widens to its
    // longest line first, as when drawn.
    struct Layout {
        sf::FloatRect panel;
        std::vector<sf::Text> texts;
    };
    Layout layout();

    // The menus' colours: an opaque blue panel with a dark edge, the chosen
    // row in gold, plain and greyed-out lines, detail lines.
    static const sf::Color panelFill, panelEdge, highlight, plain, greyed, detailColour;

    Menu menu;
    std::string heading;
    GameState* underneath = nullptr; // owned; read it as below()

protected:
    // Brings the items up to date before the keys are read (values that
    // changed elsewhere, a notice that expired).
    virtual void refresh() {}
    virtual void chosen(const std::string& id) = 0;
    virtual void adjusted(const std::string& /*id*/, int /*step*/) {}
    virtual void back() {}

private:
    // Rows as tall as the text size needs; a list that would then run off
    // the picture moves up.
    void fitRows();
    float ownTop = -1; // the list's top as the screen set it
};
