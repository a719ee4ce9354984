#include "input/KeyNames.h"

#include <algorithm>
#include <cctype>

namespace {
// In the order of the key codes, from A (0) to Pause (100): the file name,
// then the label when it differs.
struct Row {
    const char* name;
    const char* label;
};

const Row rows[sf::Keyboard::KeyCount] = {
    {"A", nullptr}, {"B", nullptr}, {"C", nullptr}, {"D", nullptr}, {"E", nullptr}, {"F", nullptr},
    {"G", nullptr}, {"H", nullptr}, {"I", nullptr}, {"J", nullptr}, {"K", nullptr}, {"L", nullptr},
    {"M", nullptr}, {"N", nullptr}, {"O", nullptr}, {"P", nullptr}, {"Q", nullptr}, {"R", nullptr},
    {"S", nullptr}, {"T", nullptr}, {"U", nullptr}, {"V", nullptr}, {"W", nullptr}, {"X", nullptr},
    {"Y", nullptr}, {"Z", nullptr},
    {"Num0", "0"}, {"Num1", "1"}, {"Num2", "2"}, {"Num3", "3"}, {"Num4", "4"},
    {"Num5", "5"}, {"Num6", "6"}, {"Num7", "7"}, {"Num8", "8"}, {"Num9", "9"},
    {"Escape", nullptr},
    {"LControl", "Left Ctrl"}, {"LShift", "Left Shift"}, {"LAlt", "Left Alt"}, {"LSystem", "Left Super"},
    {"RControl", "Right Ctrl"}, {"RShift", "Right Shift"}, {"RAlt", "Right Alt"}, {"RSystem", "Right Super"},
    {"Menu", nullptr},
    {"LBracket", "["}, {"RBracket", "]"}, {"Semicolon", ";"}, {"Comma", ","}, {"Period", "."},
    {"Quote", "'"}, {"Slash", "/"}, {"Backslash", "\\"}, {"Tilde", "`"}, {"Equal", "="}, {"Hyphen", "-"},
    {"Space", nullptr}, {"Return", nullptr}, {"Backspace", nullptr}, {"Tab", nullptr},
    {"PageUp", "Page Up"}, {"PageDown", "Page Down"}, {"End", nullptr}, {"Home", nullptr},
    {"Insert", nullptr}, {"Delete", nullptr},
    {"Add", "Keypad +"}, {"Subtract", "Keypad -"}, {"Multiply", "Keypad *"}, {"Divide", "Keypad /"},
    {"Left", nullptr}, {"Right", nullptr}, {"Up", nullptr}, {"Down", nullptr},
    {"Numpad0", "Keypad 0"}, {"Numpad1", "Keypad 1"}, {"Numpad2", "Keypad 2"}, {"Numpad3", "Keypad 3"},
    {"Numpad4", "Keypad 4"}, {"Numpad5", "Keypad 5"}, {"Numpad6", "Keypad 6"}, {"Numpad7", "Keypad 7"},
    {"Numpad8", "Keypad 8"}, {"Numpad9", "Keypad 9"},
    {"F1", nullptr}, {"F2", nullptr}, {"F3", nullptr}, {"F4", nullptr}, {"F5", nullptr},
    {"F6", nullptr}, {"F7", nullptr}, {"F8", nullptr}, {"F9", nullptr}, {"F10", nullptr},
    {"F11", nullptr}, {"F12", nullptr}, {"F13", nullptr}, {"F14", nullptr}, {"F15", nullptr},
    {"Pause", nullptr},
};

bool valid(sf::Keyboard::Key key)
{
    return key >= 0 && key < sf::Keyboard::KeyCount;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
} // namespace

std::string KeyNames::name(sf::Keyboard::Key key)
{
    return valid(key) ? rows[key].name : "";
}

std::string KeyNames::label(sf::Keyboard::Key key)
{
    if (!valid(key))
        return "";
    return rows[key].label ? rows[key].label : rows[key].name;
}

bool KeyNames::parse(const std::string& name, sf::Keyboard::Key& key)
{
    const std::string wanted = lower(name);
    if (wanted == "enter") {
        key = sf::Keyboard::Enter;
        return true;
    }
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        if (wanted == lower(rows[k].name) || (rows[k].label && wanted == lower(rows[k].label))) {
            key = static_cast<sf::Keyboard::Key>(k);
            return true;
        }
    }
    return false;
}
