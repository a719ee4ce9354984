#include "input/Input.h"

#include "input/Bindings.h"
#include "input/Gamepad.h"
#include "input/KeyNames.h"
#include "input/Keyboard.h"
#include "input/PadInputs.h"
#include "i18n/Catalogue.h"

bool Input::padUsedLast = false;
bool Input::deviceChanged = false;
bool Input::keyUsed = false;

namespace {
bool validAction(Action action)
{
    return Actions::index(action) >= 0 && Actions::index(action) < Actions::count;
}

// A key that went down in this snapshot, read from the tables without asking
// for the key (asking would make the snapshot read it live from then on).
bool anyKeyPressed()
{
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        if (Keyboard::currentState[k] && !Keyboard::lastState[k])
            return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& words, const std::string& between)
{
    std::string text;
    for (const std::string& word : words) {
        if (word.empty())
            continue;
        if (!text.empty())
            text += between;
        text += word;
    }
    return text;
}

std::string keyLabel(Action action, int slot)
{
    const sf::Keyboard::Key key = Bindings::keys[Actions::index(action)][slot];
    return key == sf::Keyboard::Unknown ? "" : KeyNames::label(key);
}

std::string padLabel(Action action, int slot)
{
    return PadInputs::label(Bindings::pads[Actions::index(action)][slot], PadInputs::Layout::Xbox);
}

// The pad inputs of the four walking actions in one slot: "D-pad" or "left
// stick" when they are that, in order; else each one.
std::string padWalk(std::initializer_list<Action> walking, int slot)
{
    int dpad = 0, stick = 0, i = 0;
    for (Action action : walking) {
        const int input = Bindings::pads[Actions::index(action)][slot];
        static const int dpadOrder[] = {PadInputs::DPadUp, PadInputs::DPadLeft, PadInputs::DPadDown, PadInputs::DPadRight};
        static const int stickOrder[] = {PadInputs::StickUp, PadInputs::StickLeft, PadInputs::StickDown, PadInputs::StickRight};
        dpad += input == dpadOrder[i] ? 1 : 0;
        stick += input == stickOrder[i] ? 1 : 0;
        ++i;
    }
    if (dpad == 4)
        return "D-pad";
    if (stick == 4)
        return "left stick";
    std::vector<std::string> words;
    for (Action action : walking)
        words.push_back(padLabel(action, slot));
    return joined(words, ", ");
}

// The labels of the first (or second) slots of several actions, as "W A S D"
// or "1, 2, 3".
std::string slotLabels(std::initializer_list<Action> actions, int slot, const std::string& between, bool pad)
{
    std::vector<std::string> words;
    for (Action action : actions)
        words.push_back(pad ? padLabel(action, slot) : keyLabel(action, slot));
    return joined(words, between);
}
} // namespace

void Input::update()
{
    Gamepad::update(Keyboard::focused);
    noteDevice();
}

void Input::noteDevice()
{
    const bool before = padUsedLast;
    if (Gamepad::anyPressed())
        padUsedLast = true;
    else if (anyKeyPressed())
        padUsedLast = false, keyUsed = true;
    deviceChanged = padUsedLast != before;
}

void Input::swallow(Action action)
{
    if (!validAction(action))
        return;
    const int a = Actions::index(action);
    for (int s = 0; s < Bindings::slots; ++s) {
        if (Bindings::keys[a][s] != sf::Keyboard::Unknown)
            Keyboard::swallow(Bindings::keys[a][s]);
        const int pad = Bindings::pads[a][s];
        if (pad >= 0 && pad < PadInputs::Count) {
            Gamepad::heldOver[pad] = true;
            Gamepad::currentState[pad] = false;
        }
    }
}

bool Input::down(Action action)
{
    if (!validAction(action))
        return false;
    const int a = Actions::index(action);
    for (int s = 0; s < Bindings::slots; ++s) {
        if (Bindings::keys[a][s] != sf::Keyboard::Unknown && Keyboard::keyDown(Bindings::keys[a][s]))
            return true;
        if (Gamepad::down(Bindings::pads[a][s]))
            return true;
    }
    return false;
}

bool Input::pressed(Action action)
{
    if (!validAction(action))
        return false;
    const int a = Actions::index(action);
    for (int s = 0; s < Bindings::slots; ++s) {
        if (Bindings::keys[a][s] != sf::Keyboard::Unknown && Keyboard::keyPressed(Bindings::keys[a][s]))
            return true;
    }
    return padPressed(action);
}

bool Input::padPressed(Action action)
{
    if (!validAction(action))
        return false;
    for (int input : Bindings::pads[Actions::index(action)]) {
        if (Gamepad::pressed(input))
            return true;
    }
    return false;
}

bool Input::isKey(Action action, sf::Keyboard::Key key)
{
    if (!validAction(action) || key == sf::Keyboard::Unknown)
        return false;
    for (sf::Keyboard::Key bound : Bindings::keys[Actions::index(action)]) {
        if (bound == key)
            return true;
    }
    return false;
}

std::string Input::answerLabel(int number)
{
    static const Action answers[] = {Action::Answer1, Action::Answer2, Action::Answer3};
    if (number < 1 || number > 3)
        return std::to_string(number);
    const int a = Actions::index(answers[number - 1]);
    for (int s = 0; s < Bindings::slots; ++s) {
        if (padUsedLast && Bindings::pads[a][s] != PadInputs::None)
            return PadInputs::label(Bindings::pads[a][s], Gamepad::layout);
        if (!padUsedLast && Bindings::keys[a][s] != sf::Keyboard::Unknown)
            return KeyNames::label(Bindings::keys[a][s]);
    }
    return std::to_string(number);
}

std::vector<Input::HelpRow> Input::helpRows()
{
    using A = Action;
    const auto either = [](const std::string& first, const std::string& second) {
        return joined({first, second}, " or ");
    };
    const auto both = [&](A action, bool pad) {
        return either(pad ? padLabel(action, 0) : keyLabel(action, 0), pad ? padLabel(action, 1) : keyLabel(action, 1));
    };
    const std::initializer_list<A> walking = {A::Up, A::Left, A::Down, A::Right};
    const std::initializer_list<A> answers = {A::Answer1, A::Answer2, A::Answer3};
    std::vector<HelpRow> rows = {
        {either(slotLabels(walking, 0, " ", false), slotLabels(walking, 1, " ", false)),
         either(padWalk(walking, 0), padWalk(walking, 1)),
         tr("walk (hold)")},
        {both(A::Talk, false), both(A::Talk, true), tr("talk to whoever you face")},
        {both(A::NextPage, false), both(A::NextPage, true), tr("next page of a conversation")},
        {either(slotLabels(answers, 0, ", ", false), slotLabels(answers, 1, ", ", false)),
         slotLabels(answers, 0, ", ", true), tr("choose an answer")},
        {both(A::GoalLine, false), both(A::GoalLine, true), tr("hide or show the goal line")},
        {both(A::Map, false), both(A::Map, true), tr("the Guildhall's map, and back")},
        {both(A::Mute, false), both(A::Mute, true), tr("mute the sound, and back")},
        {either(both(A::Fullscreen, false), "Alt+Return"), both(A::Fullscreen, true), tr("fullscreen, and back")},
        {both(A::Pause, false), both(A::Pause, true), tr("the pause menu (resume, settings, quit); in a menu, back")},
    };
    return rows;
}

std::string Input::helpText()
{
    std::string text = "Keys (and gamepad, as an Xbox pad names its buttons):\n";
    for (const HelpRow& row : helpRows()) {
        std::string line = "  " + row.what;
        line += std::string(line.size() < 31 ? 31 - line.size() : 1, ' ') + row.keys;
        if (!row.pad.empty())
            line += " (pad: " + row.pad + ")";
        text += line + "\n";
    }
    return text;
}
