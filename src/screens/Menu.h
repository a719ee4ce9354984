#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>
#include <vector>

// A list of choices on a panel, with one of them selected: what the title
// screen, the pause menu and the settings screen have in common. It knows
// nothing of keys or windows: it takes commands and pointer positions in
// picture coordinates and says what the player chose.
class Menu {
public:
    struct Item {
        std::string id;     // what the screen calls it ("new", "continue"...)
        std::string label;  // what the player reads
        std::string detail; // a smaller line under the label ("" for none)
        bool enabled = true; // shown greyed and never selected when false
        bool visible = true; // left out altogether when false
    };

    enum class Command { None, Up, Down, Left, Right, Choose, Back };

    struct Outcome {
        enum class Kind { Nothing, Chosen, Back, Adjust } kind = Kind::Nothing;
        std::string id; // the item chosen or adjusted
        int step = 0;   // Adjust: -1 (left) or +1 (right)
    };

    std::vector<Item> items;
    int selected = -1; // index into items; -1 when nothing can be chosen

    Item& add(const std::string& id, const std::string& label);
    Item* find(const std::string& id);

    // Keeps the selection on a choosable item: the one it is on, or else the
    // first choosable one after it, or -1.
    void settle();
    // Selects an item by id when it can be chosen; false otherwise.
    bool select(const std::string& id);
    bool choosable(int index) const;

    Outcome command(Command c);
    // The pointer is at `at`: hovering a choosable item selects it, a click
    // on it chooses it. A click elsewhere does nothing.
    Outcome pointer(sf::Vector2f at, bool clicked);

    // Where the items go: rows of `rowHeight` (plus `detailHeight` for an
    // item with a detail line), from `top`, `width` wide and centred on
    // `centreX`.
    float centreX = 320;
    float top = 200;
    float width = 300;
    float rowHeight = 26;
    float detailHeight = 14;
    // The rectangle of an item (empty when it is hidden), and the whole list's.
    sf::FloatRect area(int index) const;
    sf::FloatRect bounds() const;
    int itemAt(sf::Vector2f at) const;

private:
    void move(int direction);
};
