#include "screens/MenuScreen.h"

#include "input/Input.h"

#include "core/Game.h"
#include "input/Keyboard.h"
#include "screens/MenuHost.h"
#include "screens/Pointer.h"
#include "render/PictureDigest.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <algorithm>

const sf::Color MenuScreen::panelFill(0, 50, 200);
const sf::Color MenuScreen::panelEdge(0, 25, 100);
const sf::Color MenuScreen::highlight(255, 226, 120);
const sf::Color MenuScreen::plain(255, 255, 255);
const sf::Color MenuScreen::greyed(140, 160, 210);
const sf::Color MenuScreen::detailColour(190, 205, 245);

namespace {
sf::Text words(const std::string& line, unsigned size, sf::Color colour)
{
    sf::Text text(Utf8::toSfString(line), StoryFont::get(), size);
    text.setFillColor(colour);
    return text;
}

// Centres the text on x, with its top at y.
void place(sf::Text& text, float x, float y)
{
    const sf::FloatRect box = text.getLocalBounds();
    text.setPosition(static_cast<float>(static_cast<int>(x - box.width / 2 - box.left)), y);
}

// Shortens a line that is wider than `width` to what fits, with "…" at its end.
void fit(sf::Text& text, float width)
{
    sf::String line = text.getString();
    if (text.getLocalBounds().width <= width)
        return;
    while (line.getSize() > 1) {
        line = line.substring(0, line.getSize() - 1);
        text.setString(line + sf::String(sf::Uint32(0x2026)));
        if (text.getLocalBounds().width <= width)
            return;
    }
}
}

MenuHost* MenuHost::installed = nullptr;

MenuScreen::MenuScreen(GameState* underneath)
    : underneath(underneath)
{
    // A click or a move made before the menu opened is not meant for it.
    Pointer::forget();
}

MenuScreen::~MenuScreen()
{
    Game::destroyChain(underneath);
}

Menu::Command MenuScreen::keyCommand()
{
    using K = sf::Keyboard;
    // The menus' own keys always work, whatever the controls are bound to,
    // and so do the bound ones (and the pad's).
    if (Keyboard::keyPressed(K::Escape) || Input::pressed(Action::Pause))
        return Menu::Command::Back;
    if (Keyboard::keyPressed(K::Return) || Keyboard::keyPressed(K::Space) || Input::pressed(Action::Talk))
        return Menu::Command::Choose;
    if (Keyboard::keyPressed(K::Up) || Keyboard::keyPressed(K::W) || Input::pressed(Action::Up))
        return Menu::Command::Up;
    if (Keyboard::keyPressed(K::Down) || Keyboard::keyPressed(K::S) || Input::pressed(Action::Down))
        return Menu::Command::Down;
    if (Keyboard::keyPressed(K::Left) || Keyboard::keyPressed(K::A) || Input::pressed(Action::Left))
        return Menu::Command::Left;
    if (Keyboard::keyPressed(K::Right) || Keyboard::keyPressed(K::D) || Input::pressed(Action::Right))
        return Menu::Command::Right;
    return Menu::Command::None;
}

bool MenuScreen::addToPictureDigest(PictureDigest& digest) const
{
    digest.add(heading);
    digest.add(menu.selected);
    digest.add(menu.centreX), digest.add(menu.top), digest.add(menu.width);
    digest.add(menu.items.size());
    for (const Menu::Item& item : menu.items) {
        digest.add(item.visible);
        if (!item.visible)
            continue;
        digest.add(item.enabled);
        digest.add(item.label);
        digest.add(item.detail);
    }
    digest.addEntities(*this);
    return true;
}

void MenuScreen::update()
{
    refresh();
    fitRows();
    menu.settle();
    Menu::Outcome outcome = menu.command(keyCommand());
    sf::Vector2f at;
    bool clicked = false;
    if (outcome.kind == Menu::Outcome::Kind::Nothing && Pointer::take(at, clicked))
        outcome = menu.pointer(at, clicked);
    act(outcome);
}

void MenuScreen::fitRows()
{
    menu.rowHeight = WindowText::sized(26.f);
    menu.detailHeight = WindowText::sized(14.f);
    if (ownTop < 0)
        ownTop = menu.top;
    menu.top = ownTop;
    const sf::FloatRect list = menu.bounds();
    const float over = list.top + list.height + 18 - static_cast<float>(Game::pictureHeight);
    if (over > 0)
        menu.top = std::max(60.f, menu.top - over);
}

void MenuScreen::act(const Menu::Outcome& outcome)
{
    switch (outcome.kind) {
    case Menu::Outcome::Kind::Nothing:
        break;
    case Menu::Outcome::Kind::Chosen:
        chosen(outcome.id);
        break;
    case Menu::Outcome::Kind::Adjust:
        adjusted(outcome.id, outcome.step);
        break;
    case Menu::Outcome::Kind::Back:
        back();
        break;
    }
}

void MenuScreen::leave()
{
    GameState* back = underneath;
    underneath = nullptr;
    Pointer::forget();
    Game::changeState(back);
}

void MenuScreen::open(MenuScreen* next)
{
    // Like a conversation: this screen stands still beneath the next one.
    Game::currentState = next;
}

void MenuScreen::drawBackdrop()
{
    if (auto* menuBelow = dynamic_cast<MenuScreen*>(underneath)) {
        menuBelow->drawBackdrop();
        return;
    }
    if (underneath)
        underneath->draw();
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    sf::RectangleShape dim(sf::Vector2f(Game::pictureWidth, Game::pictureHeight));
    dim.setFillColor(sf::Color(0, 0, 0, 140));
    Game::window.draw(dim, sf::RenderStates::Default);
    Game::window.setView(camera);
}

MenuScreen::Layout MenuScreen::layout()
{
    fitRows();
    const unsigned titleSize = WindowText::sized(22u), labelSize = WindowText::sized(16u),
                   detailSize = WindowText::sized(11u);
    Layout out;
    // The list widens (never narrows) to hold its longest line, up to the
    // picture's width less a margin; a longer detail is shortened to fit.
    float widest = heading.empty() ? 0.f : words(heading, titleSize, plain).getLocalBounds().width - 20;
    for (const Menu::Item& item : menu.items) {
        if (!item.visible)
            continue;
        widest = std::max(widest, words(item.label, labelSize, plain).getLocalBounds().width);
        widest = std::max(widest, words(item.detail, detailSize, plain).getLocalBounds().width);
    }
    menu.width = std::max(menu.width, std::min(widest + 40, Game::pictureWidth - 48.f));
    const sf::FloatRect list = menu.bounds();
    const float headingHeight = heading.empty() ? 0.f : 40.f;
    out.panel = sf::FloatRect(list.left - 20, list.top - headingHeight - 14, list.width + 40,
                              list.height + headingHeight + 28);

    if (!heading.empty()) {
        sf::Text title = words(heading, titleSize, plain);
        fit(title, list.width);
        place(title, menu.centreX, list.top - headingHeight - 4);
        out.texts.push_back(title);
    }
    for (int index = 0; index < static_cast<int>(menu.items.size()); ++index) {
        const Menu::Item& item = menu.items[index];
        if (!item.visible)
            continue;
        const sf::FloatRect row = menu.area(index);
        const bool current = index == menu.selected;
        const sf::Color colour = current ? panelEdge : item.enabled ? plain : greyed;
        sf::Text label = words(item.label, labelSize, colour);
        fit(label, row.width - 32);
        place(label, menu.centreX, row.top + (menu.rowHeight - labelSize) / 2 - 1);
        out.texts.push_back(label);
        if (!item.detail.empty()) {
            sf::Text detail = words(item.detail, detailSize, current ? panelEdge : detailColour);
            fit(detail, row.width - 16);
            place(detail, menu.centreX, row.top + menu.rowHeight - 2);
            out.texts.push_back(detail);
        }
    }
    return out;
}

void MenuScreen::draw()
{
    drawBackdrop();
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());

    const Layout drawn = layout();
    sf::RectangleShape panel(sf::Vector2f(drawn.panel.width, drawn.panel.height));
    panel.setPosition(drawn.panel.left, drawn.panel.top);
    panel.setFillColor(panelFill);
    panel.setOutlineColor(panelEdge);
    panel.setOutlineThickness(3);
    Game::window.draw(panel, sf::RenderStates::Default);

    if (menu.selected >= 0 && menu.selected < static_cast<int>(menu.items.size())
        && menu.items[menu.selected].visible) {
        const sf::FloatRect row = menu.area(menu.selected);
        sf::RectangleShape bar(sf::Vector2f(row.width, row.height - 2));
        bar.setPosition(row.left, row.top + 1);
        bar.setFillColor(highlight);
        Game::window.draw(bar, sf::RenderStates::Default);
        // A pointer at the left of the chosen row.
        sf::ConvexShape arrow(3);
        arrow.setPoint(0, sf::Vector2f(row.left + 8, row.top + 7));
        arrow.setPoint(1, sf::Vector2f(row.left + 16, row.top + 13));
        arrow.setPoint(2, sf::Vector2f(row.left + 8, row.top + 19));
        arrow.setFillColor(panelEdge);
        Game::window.draw(arrow, sf::RenderStates::Default);
    }
    for (const sf::Text& text : drawn.texts)
        WindowText::draw(text);
    Game::window.setView(camera);
}
