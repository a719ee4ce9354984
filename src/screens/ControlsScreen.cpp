#include "screens/ControlsScreen.h"

#include "input/Bindings.h"
#include "input/ControlsFile.h"
#include "core/Game.h"
#include "i18n/Catalogue.h"
#include "input/Gamepad.h"
#include "input/KeyNames.h"
#include "input/Keyboard.h"
#include "input/PadInputs.h"
#include "render/PictureDigest.h"
#include "screens/MenuScreen.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>

#include <cctype>

namespace {
using K = sf::Keyboard;

// The screen's own keys, read straight from the snapshots' tables: asking the
// keyboard for them is not needed, and no binding changes them.
bool keyPressed(K::Key key)
{
    return Keyboard::currentState[key] && !Keyboard::lastState[key];
}

// The first key or pad input that went down in this frame, or none.
K::Key firstKeyPressed()
{
    for (int k = 0; k < K::KeyCount; ++k) {
        if (keyPressed(static_cast<K::Key>(k)))
            return static_cast<K::Key>(k);
    }
    return K::Unknown;
}

int firstPadPressed()
{
    for (int i = 0; i < PadInputs::Count; ++i) {
        if (Gamepad::pressed(i))
            return i;
    }
    return PadInputs::None;
}

bool padPressed(std::initializer_list<int> inputs)
{
    for (int input : inputs) {
        if (Gamepad::pressed(input))
            return true;
    }
    return false;
}

const float left = 28;
const float columnX[ControlsScreen::columns] = {180, 290, 400, 510};
const float top = 70;
const float lineHeight = 22;
const unsigned characterSize = 12;
// The panel, as the menus draw theirs but over nearly the whole picture.
const sf::FloatRect panelArea(12, 8, 616, 464);

void write(const std::string& words, float x, float y, sf::Color colour, unsigned size = characterSize)
{
    sf::Text text(Utf8::toSfString(words), StoryFont::get(), size);
    text.setFillColor(colour);
    text.setPosition(x, y);
    WindowText::draw(text);
}
} // namespace

std::string ControlsScreen::sentence(std::string text)
{
    if (text.empty())
        return text;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const char last = text.back();
    if (last != '.' && last != '!' && last != '?')
        text += '.';
    return text;
}

void ControlsScreen::setNote(const std::string& text)
{
    note = sentence(text);
}

ControlsScreen::ControlsScreen(GameState* previous)
    : previous(previous)
{
}

std::string ControlsScreen::slotText(int row, int column)
{
    if (row < 0 || row >= Actions::count || column < 0 || column >= columns)
        return "";
    std::string text;
    if (column < Bindings::slots) {
        const K::Key key = Bindings::keys[row][column];
        text = key == K::Unknown ? "" : KeyNames::label(key);
    } else {
        text = PadInputs::label(Bindings::pads[row][column - Bindings::slots], Gamepad::layout);
    }
    return text.empty() ? "-" : text;
}

bool ControlsScreen::addToPictureDigest(PictureDigest& digest) const
{
    digest.add(row), digest.add(column), digest.add(waiting);
    digest.add(note);
    for (int r = 0; r < defaultsRow; ++r)
        for (int c = 0; c < columns; ++c)
            digest.add(slotText(r, c));
    digest.addEntities(*this);
    return true;
}

void ControlsScreen::update()
{
    if (waiting) {
        capture();
        return;
    }
    if (keyPressed(K::Escape) || padPressed({PadInputs::East, PadInputs::Start})) {
        if (previous)
            Game::changeState(previous);
        return;
    }
    const int rows = defaultsRow + 1;
    if (keyPressed(K::Up) || padPressed({PadInputs::DPadUp, PadInputs::StickUp}))
        row = (row + rows - 1) % rows;
    else if (keyPressed(K::Down) || padPressed({PadInputs::DPadDown, PadInputs::StickDown}))
        row = (row + 1) % rows;
    else if (keyPressed(K::Left) || padPressed({PadInputs::DPadLeft, PadInputs::StickLeft}))
        column = (column + columns - 1) % columns;
    else if (keyPressed(K::Right) || padPressed({PadInputs::DPadRight, PadInputs::StickRight}))
        column = (column + 1) % columns;
    else if (keyPressed(K::Return) || padPressed({PadInputs::South}))
        choose();
    else if (keyPressed(K::Delete) || keyPressed(K::Backspace) || padPressed({PadInputs::West}))
        clear();
}

void ControlsScreen::choose()
{
    if (row == defaultsRow) {
        Bindings::restoreDefaults();
        saved(tr("The default controls are back"));
        return;
    }
    waiting = true;
    const Action action = Actions::at(row);
    setNote(fill(column < Bindings::slots ? tr("Press a key for {action}; Escape keeps the one there")
                                          : tr("Press a gamepad button for {action}; Escape keeps the one there"),
                 {{"action", Actions::label(action)}}));
}

void ControlsScreen::capture()
{
    const Action action = Actions::at(row);
    if (keyPressed(K::Escape)) {
        waiting = false;
        note.clear();
        return;
    }
    std::string why;
    if (column < Bindings::slots) {
        const K::Key key = firstKeyPressed();
        if (key == K::Unknown)
            return;
        waiting = false;
        if (!Bindings::setKey(action, column, key, &why)) {
            setNote(why);
            return;
        }
        saved(fill(tr("{action}: {key}"), {{"action", Actions::label(action)}, {"key", KeyNames::label(key)}}));
    } else {
        const int input = firstPadPressed();
        if (input == PadInputs::None)
            return;
        waiting = false;
        if (!Bindings::setPad(action, column - Bindings::slots, input, &why)) {
            setNote(why);
            return;
        }
        saved(fill(tr("{action}: {key}"),
                   {{"action", Actions::label(action)}, {"key", PadInputs::label(input, Gamepad::layout)}}));
    }
}

void ControlsScreen::clear()
{
    if (row == defaultsRow)
        return;
    const Action action = Actions::at(row);
    std::string why;
    if (column < Bindings::slots) {
        if (!Bindings::clearKey(action, column, &why)) {
            setNote(why);
            return;
        }
    } else {
        Bindings::clearPad(action, column - Bindings::slots);
    }
    saved(fill(tr("{action}: the slot is empty"), {{"action", Actions::label(action)}}));
}

void ControlsScreen::saved(const std::string& done)
{
    std::string why;
    if (ControlsFile::save(&why)) {
        setNote(done);
        return;
    }
    setNote(fill(tr("{done}, but it could not be kept: {why}"), {{"done", done}, {"why", why}}));
}

void ControlsScreen::draw()
{
    // Over what the settings stand over, as the menus are.
    if (auto* menu = dynamic_cast<MenuScreen*>(previous)) {
        menu->drawBackdrop();
    } else if (previous) {
        previous->draw();
    }
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    if (!dynamic_cast<MenuScreen*>(previous)) {
        sf::RectangleShape dim(sf::Vector2f(Game::pictureWidth, Game::pictureHeight));
        dim.setFillColor(sf::Color(0, 0, 0, 140));
        Game::window.draw(dim, sf::RenderStates::Default);
    }
    sf::RectangleShape panel(sf::Vector2f(panelArea.width, panelArea.height));
    panel.setPosition(panelArea.left, panelArea.top);
    panel.setFillColor(MenuScreen::panelFill);
    panel.setOutlineColor(MenuScreen::panelEdge);
    panel.setOutlineThickness(3);
    Game::window.draw(panel, sf::RenderStates::Default);

    sf::Text title(Utf8::toSfString(tr("Controls")), StoryFont::get(), 22);
    title.setFillColor(MenuScreen::plain);
    const sf::FloatRect box = title.getLocalBounds();
    title.setPosition(static_cast<float>(static_cast<int>((Game::pictureWidth - box.width) / 2 - box.left)), 14);
    WindowText::draw(title);

    const std::string headings[columns] = {trc("controls column", "Key"), trc("controls column", "Key"),
                                           trc("controls column", "Gamepad"), trc("controls column", "Gamepad")};
    for (int c = 0; c < columns; ++c)
        write(headings[c], columnX[c], top - lineHeight, MenuScreen::detailColour);

    const float width = columnX[1] - columnX[0] - 6;
    for (int r = 0; r <= defaultsRow; ++r) {
        const float y = top + static_cast<float>(r) * lineHeight + (r == defaultsRow ? lineHeight / 2 : 0);
        const bool onRow = r == row;
        if (onRow) {
            sf::RectangleShape mark(sf::Vector2f(r == defaultsRow ? 300 : width, lineHeight - 4));
            mark.setPosition(r == defaultsRow ? left - 4 : columnX[column] - 4, y - 2);
            mark.setFillColor(waiting ? sf::Color(255, 160, 60) : MenuScreen::highlight);
            Game::window.draw(mark, sf::RenderStates::Default);
        }
        if (r == defaultsRow) {
            write(tr("Restore the default controls"), left, y, onRow ? MenuScreen::panelEdge : MenuScreen::plain);
            continue;
        }
        std::string name = Actions::label(Actions::at(r));
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        write(name, left, y, MenuScreen::plain);
        for (int c = 0; c < columns; ++c)
            write(slotText(r, c), columnX[c], y, onRow && c == column ? MenuScreen::panelEdge : MenuScreen::plain);
    }
    write(note, left, 400, MenuScreen::highlight);
    write(tr("Arrows: choose   Return: change   Delete: empty   Escape: back"), left, 436, MenuScreen::detailColour);

    Game::window.setView(camera);
}
