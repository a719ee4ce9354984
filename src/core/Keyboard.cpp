#include "Keyboard.h"

#include <SFML/Window/Event.hpp>

bool Keyboard::lastState[sf::Keyboard::KeyCount];
bool Keyboard::currentState[sf::Keyboard::KeyCount];
bool Keyboard::pressedSince[sf::Keyboard::KeyCount];
bool Keyboard::heldOver[sf::Keyboard::KeyCount];
bool Keyboard::focused = true;
bool (*Keyboard::live)(sf::Keyboard::Key) = &sf::Keyboard::isKeyPressed;

namespace {
bool valid(sf::Keyboard::Key key)
{
    return key >= 0 && key < sf::Keyboard::KeyCount;
}

void forgetTaps()
{
    for (bool& tapped : Keyboard::pressedSince)
        tapped = false;
}
}

void Keyboard::initialize()
{
    for (bool& down : currentState)
        down = false;
    forgetTaps();
    for (bool& held : heldOver)
        held = false;
}

void Keyboard::update()
{
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        const bool down = live(static_cast<sf::Keyboard::Key>(k));
        if (!down)
            heldOver[k] = false; // let go at last
        lastState[k] = currentState[k];
        currentState[k] = focused && !heldOver[k] && (down || pressedSince[k]);
        pressedSince[k] = false;
    }
}

void Keyboard::handleEvent(const sf::Event& event)
{
    switch (event.type) {
    case sf::Event::KeyPressed:
        if (focused && valid(event.key.code)) {
            pressedSince[event.key.code] = true;
            heldOver[event.key.code] = false;
        }
        break;
    case sf::Event::KeyReleased:
        if (valid(event.key.code))
            heldOver[event.key.code] = false;
        break;
    case sf::Event::LostFocus:
        if (focused)
            restart(false);
        break;
    case sf::Event::GainedFocus:
        if (!focused)
            restart(true);
        break;
    default:
        break;
    }
}

void Keyboard::restart(bool hasFocus)
{
    focused = hasFocus;
    forgetTaps();
    for (bool& held : heldOver)
        held = true;
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
