#pragma once

#include "input/Action.h"

#include <SFML/Window/Keyboard.hpp>

#include <string>
#include <utility>
#include <vector>

// The table that maps keys and gamepad inputs to actions: two keys and two
// pad inputs at most for each action. A key (or pad input) serves one action
// at a time, unless the two actions never count at the same time (walking
// and answering).
class Bindings {
public:
    Bindings() = delete;

    static constexpr int slots = 2;
    // sf::Keyboard::Unknown and PadInputs::None mark an empty slot.
    static sf::Keyboard::Key keys[Actions::count][slots];
    static int pads[Actions::count][slots];

    static const sf::Keyboard::Key defaultKeys[Actions::count][slots];
    static const int defaultPads[Actions::count][slots];

    static void restoreDefaults();
    static bool isDefault();

    // The action other than `action` whose key (pad input) this is, where
    // the two would clash; Action::Count when there is none.
    static Action keyOwner(sf::Keyboard::Key key, Action action);
    static Action padOwner(int input, Action action);

    // Puts a key in a slot of an action. Refused (false, and `why` says
    // so in one line) when another action uses the key where they clash.
    // The key leaves the action's other slot.
    static bool setKey(Action action, int slot, sf::Keyboard::Key key, std::string* why = nullptr);
    static bool setPad(Action action, int slot, int input, std::string* why = nullptr);
    // Empties a slot. The last key of an action stays: refused with a note.
    static bool clearKey(Action action, int slot, std::string* why = nullptr);
    static void clearPad(Action action, int slot);

    // An action's keys as written in the settings file: "W, Up", "" for none.
    static std::string keyText(Action action);
    static std::string padText(Action action);

    // Takes the bindings from the settings' "keys" and "pad" sections, as
    // (action, value) pairs; an action not named keeps its defaults. When any
    // entry is wrong (an unknown action, key or button, more than two, or a
    // key that two actions would share) the defaults stand for everything and
    // the answer is one line saying what is wrong; otherwise "".
    static std::string apply(const std::vector<std::pair<std::string, std::string>>& keyEntries,
                             const std::vector<std::pair<std::string, std::string>>& padEntries);
    // The entries that differ from the defaults, to be written back.
    static std::vector<std::pair<std::string, std::string>> changedKeys();
    static std::vector<std::pair<std::string, std::string>> changedPads();
};
