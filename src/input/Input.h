#pragma once

#include "input/Action.h"

#include <SFML/Window/Keyboard.hpp>

#include <string>
#include <vector>

// What the game asks of the player's controls: actions, read from this
// frame's keyboard snapshot and gamepad snapshot through the bindings.
class Input {
public:
    Input() = delete;

    // Once per frame, after the keyboard's snapshot: the gamepad's snapshot,
    // and which of the two was used last.
    static void update();
    // Only the second half, for snapshots both taken elsewhere (a replay's).
    static void noteDevice();

    // A key or pad input bound to the action is down now.
    static bool down(Action action);
    // One of them went down in this frame.
    static bool pressed(Action action);
    // Only the gamepad's part of pressed(): for the actions that the window's
    // key events serve on the keyboard (pause, fullscreen).
    static bool padPressed(Action action);
    // The key is bound to the action (for the window's key events).
    static bool isKey(Action action, sf::Keyboard::Key key);
    // The action's keys and buttons have done their work: each reads as up
    // until it has been let go and pressed again.
    static void swallow(Action action);

    // The gamepad was used last; it changed in this frame.
    static bool padUsedLast;
    static bool deviceChanged;
    // Some key has gone down since the game started.
    static bool keyUsed;

    // The label of answer `number` (1 to 3) on screen: its first key ("1"),
    // or its first pad button ("X") when the pad was used last; other
    // numbers stand for themselves.
    static std::string answerLabel(int number);

    // The key table the help and the manual show, from the bindings.
    struct HelpRow {
        std::string keys;
        std::string pad;
        std::string what;
    };
    static std::vector<HelpRow> helpRows();
    static std::string helpText();
};
