#pragma once

#include "input/PadInputs.h"

#include <SFML/Window/Joystick.hpp>

// A snapshot of the gamepad taken once per frame, like the keyboard's: every
// query in a frame sees the same inputs, and edges are counted between frames.
//
// Of all the pads plugged in, the first one that is touched plays; it plays
// until it is unplugged, and then again the first one touched. While the
// window does not have the focus every input reads as up, and what is held
// when the focus comes back waits to be let go.
class Gamepad {
public:
    Gamepad() = delete;

    // Where the pads' state comes from: the windowing library, which keeps
    // it up to date while the window's events are read. Tests put their own.
    struct Source {
        bool (*connected)(unsigned pad);
        bool (*button)(unsigned pad, unsigned button);
        float (*axis)(unsigned pad, sf::Joystick::Axis axis); // -100 to 100
        unsigned (*vendor)(unsigned pad);
    };
    static Source source;
    static const Source live;

    // How far a stick or d-pad axis must go, out of 100, to count as a
    // direction. The stick's directions then follow the d-pad's rule: each
    // axis gives at most one direction, and the actions decide which wins.
    static constexpr float deadZone = 50;

    static bool lastState[PadInputs::Count];
    static bool currentState[PadInputs::Count];
    static bool heldOver[PadInputs::Count];
    // The pad that plays (0 to 7), or -1 before one is touched.
    static int active;
    static PadInputs::Layout layout;

    // No pad plays; nothing is held.
    static void initialize();
    // Takes the snapshot; `focused`: the window has the keyboard and the pads.
    static void update(bool focused);
    // The inputs of one pad as they are now.
    static void read(unsigned pad, bool (&inputs)[PadInputs::Count]);

    static bool pressed(int input);
    static bool down(int input);
    // Some input of the playing pad went down in this snapshot.
    static bool anyPressed();
};
