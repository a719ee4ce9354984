#include "screens/Menu.h"

Menu::Item& Menu::add(const std::string& id, const std::string& label)
{
    Item item;
    item.id = id;
    item.label = label;
    items.push_back(item);
    return items.back();
}

Menu::Item* Menu::find(const std::string& id)
{
    for (Item& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

bool Menu::choosable(int index) const
{
    return index >= 0 && index < static_cast<int>(items.size()) && items[index].visible && items[index].enabled;
}

void Menu::settle()
{
    const int count = static_cast<int>(items.size());
    if (choosable(selected))
        return;
    const int from = selected < 0 ? 0 : selected;
    for (int k = 0; k < count; ++k) {
        const int index = (from + k) % count;
        if (choosable(index)) {
            selected = index;
            return;
        }
    }
    selected = -1;
}

bool Menu::select(const std::string& id)
{
    for (int index = 0; index < static_cast<int>(items.size()); ++index) {
        if (items[index].id == id && choosable(index)) {
            selected = index;
            return true;
        }
    }
    return false;
}

void Menu::move(int direction)
{
    settle();
    const int count = static_cast<int>(items.size());
    if (selected < 0)
        return;
    // Round the list, past what cannot be chosen.
    for (int k = 1; k < count; ++k) {
        const int index = ((selected + direction * k) % count + count) % count;
        if (choosable(index)) {
            selected = index;
            return;
        }
    }
}

Menu::Outcome Menu::command(Command c)
{
    Outcome outcome;
    switch (c) {
    case Command::None:
        break;
    case Command::Up:
        move(-1);
        break;
    case Command::Down:
        move(1);
        break;
    case Command::Left:
    case Command::Right:
        settle();
        if (selected >= 0) {
            outcome.kind = Outcome::Kind::Adjust;
            outcome.id = items[selected].id;
            outcome.step = c == Command::Left ? -1 : 1;
        }
        break;
    case Command::Choose:
        settle();
        if (selected >= 0) {
            outcome.kind = Outcome::Kind::Chosen;
            outcome.id = items[selected].id;
        }
        break;
    case Command::Back:
        outcome.kind = Outcome::Kind::Back;
        break;
    }
    return outcome;
}

Menu::Outcome Menu::pointer(sf::Vector2f at, bool clicked)
{
    Outcome outcome;
    const int index = itemAt(at);
    if (!choosable(index))
        return outcome;
    selected = index;
    if (clicked) {
        outcome.kind = Outcome::Kind::Chosen;
        outcome.id = items[index].id;
    }
    return outcome;
}

sf::FloatRect Menu::area(int index) const
{
    if (index < 0 || index >= static_cast<int>(items.size()) || !items[index].visible)
        return sf::FloatRect();
    float y = top;
    for (int k = 0; k < index; ++k) {
        if (!items[k].visible)
            continue;
        y += rowHeight + (items[k].detail.empty() ? 0 : detailHeight);
    }
    const float height = rowHeight + (items[index].detail.empty() ? 0 : detailHeight);
    return sf::FloatRect(centreX - width / 2, y, width, height);
}

sf::FloatRect Menu::bounds() const
{
    float height = 0;
    for (const Item& item : items)
        if (item.visible)
            height += rowHeight + (item.detail.empty() ? 0 : detailHeight);
    return sf::FloatRect(centreX - width / 2, top, width, height);
}

int Menu::itemAt(sf::Vector2f at) const
{
    for (int index = 0; index < static_cast<int>(items.size()); ++index)
        if (items[index].visible && area(index).contains(at))
            return index;
    return -1;
}
