#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <string>

// Names of the keys: one for the settings file ("Return", "Num1", "Numpad1")
// and one for the screen ("Return", "1", "Keypad 1").
class KeyNames {
public:
    KeyNames() = delete;

    static std::string name(sf::Keyboard::Key key);
    static std::string label(sf::Keyboard::Key key);
    // The key with that file name or label (any case; "Enter" is Return
    // too); false for a name that is no key.
    static bool parse(const std::string& name, sf::Keyboard::Key& key);
};
