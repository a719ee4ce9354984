#include "screens/KeyHints.h"

#include "core/Game.h"
#include "disk/Settings.h"
#include "i18n/Catalogue.h"
#include "input/Bindings.h"
#include "input/Gamepad.h"
#include "input/Input.h"
#include "input/KeyNames.h"
#include "input/PadInputs.h"
#include "render/PictureDigest.h"
#include "resources/StoryFont.h"
#include "resources/Utf8.h"
#include "render/WindowText.h"
#include "screens/GoalLine.h"
#include "screens/ShellSettings.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/Window/Joystick.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

bool KeyHints::enabled = false;

namespace {
using Hint = KeyHints::Hint;

const char* const section = "hints";
const char* const keyOf[KeyHints::count] = {"walk", "talk", "menu"};
const Action walking[] = {Action::Up, Action::Left, Action::Down, Action::Right};

const char* keyFor(Hint hint)
{
    return keyOf[static_cast<int>(hint)];
}

// The first key (or pad input) bound to the action; "" for none.
std::string firstKey(Action action)
{
    for (sf::Keyboard::Key key : Bindings::keys[Actions::index(action)])
        if (key != sf::Keyboard::Unknown)
            return KeyNames::label(key);
    return "";
}

std::string firstPad(Action action)
{
    for (int input : Bindings::pads[Actions::index(action)])
        if (input != PadInputs::None)
            return PadInputs::label(input, Gamepad::layout);
    return "";
}

// The four walking actions all have `inputs` (up, left, down, right) in some slot.
template <typename T>
bool allBound(const T (&table)[Actions::count][Bindings::slots], const T (&inputs)[4])
{
    for (int i = 0; i < 4; ++i) {
        const auto& row = table[Actions::index(walking[i])];
        if (std::find(std::begin(row), std::end(row), inputs[i]) == std::end(row))
            return false;
    }
    return true;
}

// How the four walking keys read: "Arrow keys" when they are bound, else
// each action's first key, "W A S D".
std::string walkKeys()
{
    using K = sf::Keyboard;
    const K::Key arrows[4] = {K::Up, K::Left, K::Down, K::Right};
    if (allBound(Bindings::keys, arrows))
        return trc("key", "Arrow keys");
    std::string keys;
    for (Action action : walking)
        keys += (keys.empty() ? "" : " ") + firstKey(action);
    return keys;
}

std::string walkPad()
{
    const int dpad[4] = {PadInputs::DPadUp, PadInputs::DPadLeft, PadInputs::DPadDown, PadInputs::DPadRight};
    const int stick[4] = {PadInputs::StickUp, PadInputs::StickLeft, PadInputs::StickDown, PadInputs::StickRight};
    if (allBound(Bindings::pads, dpad))
        return trc("pad", "D-pad");
    if (allBound(Bindings::pads, stick))
        return trc("pad", "Left stick");
    std::string pads;
    for (Action action : walking) {
        const std::string label = firstPad(action);
        if (!label.empty())
            pads += (pads.empty() ? "" : ", ") + label;
    }
    return pads;
}

bool anyPadConnected()
{
    for (unsigned pad = 0; pad < sf::Joystick::Count; ++pad)
        if (Gamepad::source.connected && Gamepad::source.connected(pad))
            return true;
    return false;
}
} // namespace

void KeyHints::start()
{
    const char* wanted = std::getenv("TARNWICK_KEY_HINTS");
    enabled = !wanted || std::string(wanted) != "0";
}

bool KeyHints::pending(Hint hint)
{
    return Settings::getBool(section, keyFor(hint), true);
}

void KeyHints::used(Hint hint)
{
    if (!enabled || !pending(hint))
        return;
    Settings::setBool(section, keyFor(hint), false);
    ShellSettings::keep();
}

void KeyHints::showAgain()
{
    for (const char* key : keyOf)
        Settings::remove(section, key);
}

void KeyHints::update()
{
    if (!enabled)
        return;
    for (Action action : walking)
        if (Input::pressed(action))
            used(Hint::Walk);
    if (Input::pressed(Action::Talk))
        used(Hint::Talk);
}

std::string KeyHints::line(Hint hint, bool pad)
{
    static const Action actions[count] = {Action::Up, Action::Talk, Action::Pause};
    const Action action = actions[static_cast<int>(hint)];
    std::string keys;
    if (pad)
        keys = hint == Hint::Walk ? walkPad() : firstPad(action);
    if (keys.empty()) // no pad, or nothing of it bound: the keys
        keys = hint == Hint::Walk ? walkKeys() : firstKey(action);
    switch (hint) {
    case Hint::Walk:
        return fill(trc("hint", "{keys}: walk"), {{"keys", keys}});
    case Hint::Talk:
        return fill(trc("hint", "{keys}: talk"), {{"keys", keys}});
    case Hint::Menu:
        break;
    }
    return fill(trc("hint", "{keys}: menu"), {{"keys", keys}});
}

bool KeyHints::padShown()
{
    return Input::padUsedLast || (!Input::keyUsed && anyPadConnected());
}

std::vector<std::string> KeyHints::lines()
{
    std::vector<std::string> shown;
    if (!enabled)
        return shown;
    const bool pad = padShown();
    for (int h = 0; h < count; ++h)
        if (pending(static_cast<Hint>(h)))
            shown.push_back(line(static_cast<Hint>(h), pad));
    return shown;
}

void KeyHints::addToPictureDigest(PictureDigest& digest)
{
    for (const std::string& text : lines())
        digest.add(text);
}

void KeyHints::draw()
{
    const std::vector<std::string> shown = lines();
    if (shown.empty())
        return;
    const unsigned size = WindowText::sized(characterSize);
    const float lineHeight = static_cast<float>(size) + 4;
    const float margin = 8, padding = 6;
    sf::Text words;
    words.setFont(StoryFont::get());
    words.setCharacterSize(size);
    float width = 0;
    for (const std::string& text : shown) {
        words.setString(Utf8::toSfString(text));
        width = std::max(width, words.getLocalBounds().width);
    }
    const float height = lineHeight * static_cast<float>(shown.size()) + 2 * padding - 4;
    sf::RectangleShape plate(sf::Vector2f(std::round(width) + 2 * padding, height));
    plate.setPosition(margin, bottom - height);
    plate.setFillColor(GoalLine::background);
    plate.setOutlineThickness(1);
    plate.setOutlineColor(GoalLine::edge);

    const sf::View camera = Game::window.getView();
    Game::window.setView(Game::pictureView());
    Game::window.draw(plate, sf::RenderStates::Default);
    float top = bottom - height + padding - 3;
    for (const std::string& text : shown) {
        words.setString(Utf8::toSfString(text));
        words.setPosition(margin + padding, top);
        WindowText::draw(words);
        top += lineHeight;
    }
    Game::window.setView(camera);
}

SettingsScreen::Entry KeyHints::entry()
{
    const auto anyPending = [] {
        for (int h = 0; h < count; ++h)
            if (pending(static_cast<Hint>(h)))
                return true;
        return false;
    };
    return {"hints",
            [anyPending] { return anyPending() ? trc("settings", "Key hints: shown") : trc("settings", "Key hints: off"); },
            [anyPending](int) {
                // Off puts every hint away as if used; on brings them all back.
                if (anyPending()) {
                    for (const char* key : keyOf)
                        Settings::setBool(section, key, false);
                } else {
                    showAgain();
                }
            }};
}
