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
#include "resources/StoryFont.h"
#include "resources/Utf8.h"

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

const char* const headings[ControlsScreen::columns] = {NC_("heading", "Key"), NC_("heading", "Key"),
                                                        NC_("heading", "Gamepad"), NC_("heading", "Gamepad")};
const float left = 24;
const float columnX[ControlsScreen::columns] = {180, 290, 400, 520};
const float top = 70;
const float lineHeight = 24;
const unsigned characterSize = 12;

void write(const std::string& words, float x, float y, sf::Color colour, unsigned size = characterSize)
{
    sf::Text text(Utf8::toSfString(words), StoryFont::get(), size);
    text.setFillColor(colour);
    text.setPosition(x, y);
    Game::window.draw(text, sf::RenderStates::Default);
}
} // namespace

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
    note = fill(column < Bindings::slots ? tr("Press a key for {action} (Escape: keep it)")
                                         : tr("Press a gamepad button for {action} (Escape: keep it)"),
                {{"action", Actions::label(action)}});
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
            note = why;
            return;
        }
        saved(fill(tr("{action}: {key}"), {{"action", Actions::label(action)}, {"key", KeyNames::label(key)}}));
    } else {
        const int input = firstPadPressed();
        if (input == PadInputs::None)
            return;
        waiting = false;
        if (!Bindings::setPad(action, column - Bindings::slots, input, &why)) {
            note = why;
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
            note = why;
            return;
        }
    } else {
        Bindings::clearPad(action, column - Bindings::slots);
    }
    saved(fill(tr("{action}: slot emptied"), {{"action", Actions::label(action)}}));
}

void ControlsScreen::saved(const std::string& done)
{
    std::string why;
    note = ControlsFile::save(&why) ? done : fill(tr("{done}, but not saved: {why}"), {{"done", done}, {"why", why}});
}

void ControlsScreen::draw()
{
    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());

    const sf::Color text(230, 230, 230);
    const sf::Color dim(150, 150, 170);
    const sf::Color chosen(0, 50, 200);
    write(trc("heading", "Controls"), left, 20, text, 20);
    for (int c = 0; c < columns; ++c)
        write(Catalogue::text("heading", headings[c]), columnX[c], top - lineHeight, dim);

    const float width = columnX[1] - columnX[0] - 6;
    for (int r = 0; r <= defaultsRow; ++r) {
        const float y = top + static_cast<float>(r) * lineHeight + (r == defaultsRow ? lineHeight / 2 : 0);
        if (r == row) {
            sf::RectangleShape mark(sf::Vector2f(r == defaultsRow ? 300 : width, lineHeight - 4));
            mark.setPosition(r == defaultsRow ? left - 4 : columnX[column] - 4, y - 2);
            mark.setFillColor(waiting ? sf::Color(200, 120, 0) : chosen);
            Game::window.draw(mark, sf::RenderStates::Default);
        }
        if (r == defaultsRow) {
            write(tr("Restore the default controls"), left, y, text);
            continue;
        }
        std::string name = Actions::label(Actions::at(r));
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        write(name, left, y, text);
        for (int c = 0; c < columns; ++c)
            write(slotText(r, c), columnX[c], y, text);
    }
    write(note, left, 410, sf::Color(255, 210, 90));
    write(tr("Arrows: choose   Return: change   Delete: empty   Escape: back"), left, 440, dim);

    Game::window.setView(camera);
}
