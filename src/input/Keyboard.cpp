#include "input/Keyboard.h"

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

// Reading a key's live state costs a round trip to the display server, so a
// snapshot reads only the keys that matter: those the game has ever asked
// about, and those that are down. Any other key that goes down sends the
// window an event, and is read from then on while it stays down. Every key is
// read once after the keyboard starts afresh (a key may be held already).
bool asked[sf::Keyboard::KeyCount];
bool readAll = true;

bool ask(sf::Keyboard::Key key)
{
    if (!valid(key))
        return false;
    asked[key] = true;
    return true;
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
    readAll = true;
}

void Keyboard::update()
{
    const bool all = readAll;
    readAll = false;
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
        const bool read = focused && (all || asked[k] || currentState[k] || pressedSince[k]);
        const bool down = read && live(static_cast<sf::Keyboard::Key>(k));
        if (read && !down)
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
    readAll = true;
}

void Keyboard::swallow(sf::Keyboard::Key key)
{
    if (!valid(key) || !currentState[key])
        return;
    heldOver[key] = true;
    // Down in this snapshot and the last: no edge, now or while it is held.
    lastState[key] = true;
    pressedSince[key] = false;
}

bool Keyboard::keyPressed(sf::Keyboard::Key key)
{
    return ask(key) && currentState[key] && !lastState[key];
}

bool Keyboard::keyReleased(sf::Keyboard::Key key)
{
    return ask(key) && !currentState[key] && lastState[key];
}

bool Keyboard::keyDown(sf::Keyboard::Key key)
{
    return ask(key) && currentState[key];
}

bool Keyboard::keyUp(sf::Keyboard::Key key)
{
    return !keyDown(key);
}
