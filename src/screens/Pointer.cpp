#include "screens/Pointer.h"

#include "core/Game.h"

#include <SFML/Window/Event.hpp>

namespace {
sf::Vector2i where;
bool moved = false;
bool pressed = false;
float wheel = 0;
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
    case sf::Event::MouseWheelScrolled:
        if (event.mouseWheelScroll.wheel == sf::Mouse::VerticalWheel)
            wheel += event.mouseWheelScroll.delta;
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

float Pointer::takeWheel()
{
    const float turned = wheel;
    wheel = 0;
    return turned;
}

void Pointer::forget()
{
    moved = pressed = false;
    wheel = 0;
}
