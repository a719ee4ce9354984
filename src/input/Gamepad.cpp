#include "input/Gamepad.h"

namespace {
unsigned vendorOf(unsigned pad)
{
    return sf::Joystick::getIdentification(pad).vendorId;
}

bool valid(int input)
{
    return input >= 0 && input < PadInputs::Count;
}

bool any(const bool (&inputs)[PadInputs::Count])
{
    for (bool down : inputs) {
        if (down)
            return true;
    }
    return false;
}

// One axis as two opposite directions.
void direction(float value, bool& negative, bool& positive)
{
    negative = negative || value <= -Gamepad::deadZone;
    positive = positive || value >= Gamepad::deadZone;
}
} // namespace

const Gamepad::Source Gamepad::live = {&sf::Joystick::isConnected, &sf::Joystick::isButtonPressed,
                                       &sf::Joystick::getAxisPosition, &vendorOf};
Gamepad::Source Gamepad::source = Gamepad::live;
bool Gamepad::lastState[PadInputs::Count];
bool Gamepad::currentState[PadInputs::Count];
bool Gamepad::heldOver[PadInputs::Count];
int Gamepad::active = -1;
PadInputs::Layout Gamepad::layout = PadInputs::Layout::Xbox;

void Gamepad::initialize()
{
    active = -1;
    layout = PadInputs::Layout::Xbox;
    for (int i = 0; i < PadInputs::Count; ++i)
        lastState[i] = currentState[i] = heldOver[i] = false;
}

void Gamepad::read(unsigned pad, bool (&inputs)[PadInputs::Count])
{
    for (bool& down : inputs)
        down = false;
    const PadInputs::Layout padLayout = PadInputs::layoutOf(source.vendor(pad));
    for (unsigned b = 0; b < sf::Joystick::ButtonCount; ++b) {
        const int input = PadInputs::fromRaw(b, padLayout);
        if (valid(input) && source.button(pad, b))
            inputs[input] = true;
    }
    // Up is negative on both vertical axes, as Linux reports them.
    direction(source.axis(pad, sf::Joystick::PovX), inputs[PadInputs::DPadLeft], inputs[PadInputs::DPadRight]);
    direction(source.axis(pad, sf::Joystick::PovY), inputs[PadInputs::DPadUp], inputs[PadInputs::DPadDown]);
    direction(source.axis(pad, sf::Joystick::X), inputs[PadInputs::StickLeft], inputs[PadInputs::StickRight]);
    direction(source.axis(pad, sf::Joystick::Y), inputs[PadInputs::StickUp], inputs[PadInputs::StickDown]);
}

void Gamepad::update(bool focused)
{
    bool now[PadInputs::Count] = {};
    if (active >= 0 && !source.connected(static_cast<unsigned>(active)))
        active = -1; // unplugged: the next pad touched plays
    if (focused && active >= 0) {
        read(static_cast<unsigned>(active), now);
    } else if (focused) {
        for (unsigned pad = 0; pad < sf::Joystick::Count; ++pad) {
            if (!source.connected(pad))
                continue;
            read(pad, now);
            if (any(now)) {
                active = static_cast<int>(pad);
                layout = PadInputs::layoutOf(source.vendor(pad));
                break;
            }
        }
    }
    for (int i = 0; i < PadInputs::Count; ++i) {
        if (!focused)
            heldOver[i] = true; // whatever is held now waits to be let go
        else if (!now[i])
            heldOver[i] = false;
        lastState[i] = currentState[i];
        currentState[i] = focused && now[i] && !heldOver[i];
    }
}

bool Gamepad::pressed(int input)
{
    return valid(input) && currentState[input] && !lastState[input];
}

bool Gamepad::down(int input)
{
    return valid(input) && currentState[input];
}

bool Gamepad::anyPressed()
{
    for (int i = 0; i < PadInputs::Count; ++i) {
        if (pressed(i))
            return true;
    }
    return false;
}
