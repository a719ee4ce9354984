#include "screens/Pointer.h"

#include "core/Game.h"

#include <SFML/Window/Event.hpp>

namespace {
sf::Vector2i where;
bool moved = false;
bool pressed = false;
}

void Pointer::handleEvent(const sf::Event& event)
{
    switch (event.type) {
    case sf::Event::MouseMoved:
        where = sf::Vector2i(event.mouseMove.x, event.mouseMove.y);
        moved = true;
        break;
    case sf::Event::MouseButtonPressed:
        if (event.mouseButton.button == sf::Mouse::Left) {
            where = sf::Vector2i(event.mouseButton.x, event.mouseButton.y);
            pressed = true;
        }
        break;
    default:
        break;
    }
}

bool Pointer::take(sf::Vector2f& at, bool& clicked)
{
    if (!moved && !pressed)
        return false;
    at = Game::window.mapPixelToCoords(where, Game::pictureView());
    clicked = pressed;
    moved = pressed = false;
    return true;
}

void Pointer::forget()
{
    moved = pressed = false;
}
