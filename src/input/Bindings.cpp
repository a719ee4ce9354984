#include "input/Bindings.h"

#include "input/KeyNames.h"
#include "input/PadInputs.h"

#include <sstream>

using K = sf::Keyboard;

const sf::Keyboard::Key Bindings::defaultKeys[Actions::count][slots] = {
    {K::W, K::Up},         // up
    {K::D, K::Right},      // right
    {K::S, K::Down},       // down
    {K::A, K::Left},       // left
    {K::Return, K::Space}, // talk
    {K::Space, K::Return}, // next page
    {K::Num1, K::Numpad1}, // answer 1
    {K::Num2, K::Numpad2}, // answer 2
    {K::Num3, K::Numpad3}, // answer 3
    {K::G, K::Unknown},    // goal line
    {K::Tab, K::Unknown},  // map
    {K::Escape, K::Unknown}, // pause
    {K::F11, K::Unknown},  // fullscreen (Alt+Return as well, always)
    {K::M, K::Unknown},    // mute
};

// The answers take the other face buttons in reading order: left, top, right.
const int Bindings::defaultPads[Actions::count][slots] = {
    {PadInputs::DPadUp, PadInputs::StickUp},
    {PadInputs::DPadRight, PadInputs::StickRight},
    {PadInputs::DPadDown, PadInputs::StickDown},
    {PadInputs::DPadLeft, PadInputs::StickLeft},
    {PadInputs::South, PadInputs::None},
    {PadInputs::South, PadInputs::None},
    {PadInputs::West, PadInputs::None},
    {PadInputs::North, PadInputs::None},
    {PadInputs::East, PadInputs::None},
    {PadInputs::Select, PadInputs::LeftShoulder},
    {PadInputs::North, PadInputs::None}, // the map: answer 2's button, free in the world
    {PadInputs::Start, PadInputs::None},
    {PadInputs::None, PadInputs::None},
    {PadInputs::None, PadInputs::None},
};

sf::Keyboard::Key Bindings::keys[Actions::count][slots] = {};
int Bindings::pads[Actions::count][slots] = {};

namespace {
struct Defaults {
    Defaults() { Bindings::restoreDefaults(); }
} defaults;

bool validSlot(Action action, int slot)
{
    return Actions::index(action) >= 0 && Actions::index(action) < Actions::count && slot >= 0
           && slot < Bindings::slots;
}

// Which action other than `action` holds `value` in `table`, where the two clash.
template <typename T>
Action ownerIn(const T (&table)[Actions::count][Bindings::slots], T value, T empty, Action action)
{
    if (value == empty)
        return Action::Count;
    for (int a = 0; a < Actions::count; ++a) {
        if (!Actions::clash(Actions::at(a), action))
            continue;
        for (int s = 0; s < Bindings::slots; ++s) {
            if (table[a][s] == value)
                return Actions::at(a);
        }
    }
    return Action::Count;
}

// Puts `value` in a slot, out of the other slot of the same action.
template <typename T>
void put(T (&row)[Bindings::slots], int slot, T value, T empty)
{
    for (int s = 0; s < Bindings::slots; ++s) {
        if (s != slot && row[s] == value)
            row[s] = empty;
    }
    row[slot] = value;
}

template <typename T, typename Name>
std::string text(const T (&row)[Bindings::slots], T empty, Name name)
{
    std::string words;
    for (int s = 0; s < Bindings::slots; ++s) {
        if (row[s] == empty)
            continue;
        if (!words.empty())
            words += ", ";
        words += name(row[s]);
    }
    return words;
}

std::vector<std::string> split(const std::string& value)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(value);
    while (std::getline(in, part, ',')) {
        const auto first = part.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        const auto last = part.find_last_not_of(" \t");
        parts.push_back(part.substr(first, last - first + 1));
    }
    return parts;
}

template <typename T, typename Parse>
std::string readRow(const std::string& section, const std::string& action, const std::string& value,
                    T (&row)[Bindings::slots], T empty, Parse parse, const char* what)
{
    const std::vector<std::string> names = split(value);
    if (names.size() > static_cast<std::size_t>(Bindings::slots))
        return "[" + section + "] " + action + ": at most two " + what + "s";
    for (T& slot : row)
        slot = empty;
    for (std::size_t i = 0; i < names.size(); ++i) {
        T parsed = empty;
        if (!parse(names[i], parsed))
            return "[" + section + "] " + action + ": '" + names[i] + "' is not a " + what;
        put(row, static_cast<int>(i), parsed, empty);
    }
    return "";
}

template <typename T, typename Name>
std::string findClash(const T (&table)[Actions::count][Bindings::slots], T empty, const char* section, Name name)
{
    for (int a = 0; a < Actions::count; ++a) {
        for (int s = 0; s < Bindings::slots; ++s) {
            const Action other = ownerIn(table, table[a][s], empty, Actions::at(a));
            if (other != Action::Count && Actions::index(other) > a)
                return std::string("[") + section + "] " + name(table[a][s]) + " serves both "
                       + Actions::name(Actions::at(a)) + " and " + Actions::name(other);
        }
    }
    return "";
}
} // namespace

void Bindings::restoreDefaults()
{
    for (int a = 0; a < Actions::count; ++a) {
        for (int s = 0; s < slots; ++s) {
            keys[a][s] = defaultKeys[a][s];
            pads[a][s] = defaultPads[a][s];
        }
    }
}

bool Bindings::isDefault()
{
    for (int a = 0; a < Actions::count; ++a) {
        for (int s = 0; s < slots; ++s) {
            if (keys[a][s] != defaultKeys[a][s] || pads[a][s] != defaultPads[a][s])
                return false;
        }
    }
    return true;
}

Action Bindings::keyOwner(sf::Keyboard::Key key, Action action)
{
    return ownerIn(keys, key, K::Unknown, action);
}

Action Bindings::padOwner(int input, Action action)
{
    return ownerIn(pads, input, static_cast<int>(PadInputs::None), action);
}

bool Bindings::setKey(Action action, int slot, sf::Keyboard::Key key, std::string* why)
{
    if (!validSlot(action, slot) || key < 0 || key >= K::KeyCount)
        return false;
    const Action owner = keyOwner(key, action);
    if (owner != Action::Count) {
        if (why)
            *why = KeyNames::label(key) + " is already used for " + Actions::label(owner);
        return false;
    }
    put(keys[Actions::index(action)], slot, key, K::Unknown);
    return true;
}

bool Bindings::setPad(Action action, int slot, int input, std::string* why)
{
    if (!validSlot(action, slot) || input < 0 || input >= PadInputs::Count)
        return false;
    const Action owner = padOwner(input, action);
    if (owner != Action::Count) {
        if (why)
            *why = PadInputs::name(input) + " is already used for " + Actions::label(owner);
        return false;
    }
    put(pads[Actions::index(action)], slot, input, static_cast<int>(PadInputs::None));
    return true;
}

bool Bindings::clearKey(Action action, int slot, std::string* why)
{
    if (!validSlot(action, slot))
        return false;
    sf::Keyboard::Key (&row)[slots] = keys[Actions::index(action)];
    int left = 0;
    for (int s = 0; s < slots; ++s)
        left += (s != slot && row[s] != K::Unknown) ? 1 : 0;
    if (left == 0 && row[slot] != K::Unknown) {
        if (why)
            *why = std::string(Actions::label(action)) + " keeps at least one key";
        return false;
    }
    row[slot] = K::Unknown;
    return true;
}

void Bindings::clearPad(Action action, int slot)
{
    if (validSlot(action, slot))
        pads[Actions::index(action)][slot] = PadInputs::None;
}

std::string Bindings::keyText(Action action)
{
    if (Actions::index(action) < 0 || Actions::index(action) >= Actions::count)
        return "";
    return text(keys[Actions::index(action)], K::Unknown, &KeyNames::name);
}

std::string Bindings::padText(Action action)
{
    if (Actions::index(action) < 0 || Actions::index(action) >= Actions::count)
        return "";
    return text(pads[Actions::index(action)], static_cast<int>(PadInputs::None), &PadInputs::name);
}

std::string Bindings::apply(const std::vector<std::pair<std::string, std::string>>& keyEntries,
                            const std::vector<std::pair<std::string, std::string>>& padEntries)
{
    restoreDefaults();
    std::string problem;
    for (const auto& [name, value] : keyEntries) {
        Action action = Action::Count;
        if (!Actions::fromName(name, action))
            problem = "[keys] " + name + ": no such action";
        else
            problem = readRow("keys", name, value, keys[Actions::index(action)], K::Unknown, &KeyNames::parse, "key");
        if (!problem.empty())
            break;
    }
    for (const auto& [name, value] : padEntries) {
        if (!problem.empty())
            break;
        Action action = Action::Count;
        if (!Actions::fromName(name, action))
            problem = "[pad] " + name + ": no such action";
        else
            problem = readRow("pad", name, value, pads[Actions::index(action)], static_cast<int>(PadInputs::None),
                              &PadInputs::parse, "gamepad button");
    }
    // Files from before mute and the map were actions may give their keys
    // (M; Tab and the pad's Y) to another one: the newer action gives way
    // then, without that key until the player picks one.
    const auto named = [](const std::vector<std::pair<std::string, std::string>>& entries, Action action) {
        for (const auto& entry : entries)
            if (entry.first == Actions::name(action))
                return true;
        return false;
    };
    for (Action later : {Action::Mute, Action::Map}) {
        for (K::Key& key : keys[Actions::index(later)])
            if (!named(keyEntries, later) && keyOwner(key, later) != Action::Count)
                key = K::Unknown;
        for (int& input : pads[Actions::index(later)])
            if (!named(padEntries, later) && padOwner(input, later) != Action::Count)
                input = PadInputs::None;
    }
    if (problem.empty())
        problem = findClash(keys, K::Unknown, "keys", &KeyNames::name);
    if (problem.empty())
        problem = findClash(pads, static_cast<int>(PadInputs::None), "pad", &PadInputs::name);
    if (problem.empty())
        return "";
    restoreDefaults();
    return problem + "; the default controls are used";
}

std::vector<std::pair<std::string, std::string>> Bindings::changedKeys()
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (int a = 0; a < Actions::count; ++a) {
        if (keys[a][0] != defaultKeys[a][0] || keys[a][1] != defaultKeys[a][1])
            entries.emplace_back(Actions::name(Actions::at(a)), keyText(Actions::at(a)));
    }
    return entries;
}

std::vector<std::pair<std::string, std::string>> Bindings::changedPads()
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (int a = 0; a < Actions::count; ++a) {
        if (pads[a][0] != defaultPads[a][0] || pads[a][1] != defaultPads[a][1])
            entries.emplace_back(Actions::name(Actions::at(a)), padText(Actions::at(a)));
    }
    return entries;
}
