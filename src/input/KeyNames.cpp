#include "input/KeyNames.h"

#include "i18n/Catalogue.h"

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
    {"Escape", NC_("key", "Escape")},
    {"LControl", NC_("key", "Left Ctrl")}, {"LShift", NC_("key", "Left Shift")}, {"LAlt", NC_("key", "Left Alt")},
    {"LSystem", NC_("key", "Left Super")},
    {"RControl", NC_("key", "Right Ctrl")}, {"RShift", NC_("key", "Right Shift")}, {"RAlt", NC_("key", "Right Alt")},
    {"RSystem", NC_("key", "Right Super")},
    {"Menu", NC_("key", "Menu")},
    {"LBracket", "["}, {"RBracket", "]"}, {"Semicolon", ";"}, {"Comma", ","}, {"Period", "."},
    {"Quote", "'"}, {"Slash", "/"}, {"Backslash", "\\"}, {"Tilde", "`"}, {"Equal", "="}, {"Hyphen", "-"},
    {"Space", NC_("key", "Space")}, {"Return", NC_("key", "Return")}, {"Backspace", NC_("key", "Backspace")},
    {"Tab", NC_("key", "Tab")},
    {"PageUp", NC_("key", "Page Up")}, {"PageDown", NC_("key", "Page Down")}, {"End", NC_("key", "End")},
    {"Home", NC_("key", "Home")},
    {"Insert", NC_("key", "Insert")}, {"Delete", NC_("key", "Delete")},
    {"Add", NC_("key", "Keypad +")}, {"Subtract", NC_("key", "Keypad -")}, {"Multiply", NC_("key", "Keypad *")},
    {"Divide", NC_("key", "Keypad /")},
    {"Left", NC_("key", "Left")}, {"Right", NC_("key", "Right")}, {"Up", NC_("key", "Up")},
    {"Down", NC_("key", "Down")},
    {"Numpad0", NC_("key", "Keypad 0")}, {"Numpad1", NC_("key", "Keypad 1")}, {"Numpad2", NC_("key", "Keypad 2")},
    {"Numpad3", NC_("key", "Keypad 3")},
    {"Numpad4", NC_("key", "Keypad 4")}, {"Numpad5", NC_("key", "Keypad 5")}, {"Numpad6", NC_("key", "Keypad 6")},
    {"Numpad7", NC_("key", "Keypad 7")},
    {"Numpad8", NC_("key", "Keypad 8")}, {"Numpad9", NC_("key", "Keypad 9")},
    {"F1", nullptr}, {"F2", nullptr}, {"F3", nullptr}, {"F4", nullptr}, {"F5", nullptr},
    {"F6", nullptr}, {"F7", nullptr}, {"F8", nullptr}, {"F9", nullptr}, {"F10", nullptr},
    {"F11", nullptr}, {"F12", nullptr}, {"F13", nullptr}, {"F14", nullptr}, {"F15", nullptr},
    {"Pause", NC_("key", "Pause")},
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
    return rows[key].label ? Catalogue::text("key", rows[key].label) : rows[key].name;
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
