#include "Keyboard.h"

bool Keyboard::lastState[sf::Keyboard::KeyCount];
bool Keyboard::currentState[sf::Keyboard::KeyCount];

namespace {
bool valid(sf::Keyboard::Key key)
{
    return key >= 0 && key < sf::Keyboard::KeyCount;
}
}

void Keyboard::initialize()
{
    for (bool& down : currentState)
        down = false;
}

void Keyboard::update()
{
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        lastState[k] = currentState[k];
        currentState[k] = sf::Keyboard::isKeyPressed(static_cast<sf::Keyboard::Key>(k));
    }
}

bool Keyboard::keyPressed(sf::Keyboard::Key key)
{
    return valid(key) && currentState[key] && !lastState[key];
}

bool Keyboard::keyReleased(sf::Keyboard::Key key)
{
    return valid(key) && !currentState[key] && lastState[key];
}

bool Keyboard::keyDown(sf::Keyboard::Key key)
{
    return valid(key) && currentState[key];
}

bool Keyboard::keyUp(sf::Keyboard::Key key)
{
    return !keyDown(key);
}
