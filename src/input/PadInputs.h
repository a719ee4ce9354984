#pragma once

#include <string>

// The inputs of a gamepad that can be bound to actions: its buttons, the four
// directions of its d-pad and the four of its left stick.
//
// Buttons are numbered as the usual Linux driver numbers those of an Xbox pad
// (south, east, west, north, the shoulders, select, start, ...). Pads that
// number them otherwise (a PlayStation pad) are translated on reading, so that
// a binding means the same place on every pad; each layout has its own labels.
class PadInputs {
public:
    PadInputs() = delete;

    enum : int {
        None = -1,
        South = 0,
        East = 1,
        West = 2,
        North = 3,
        LeftShoulder = 4,
        RightShoulder = 5,
        Select = 6,
        Start = 7,
        Home = 8,
        LeftStickButton = 9,
        RightStickButton = 10,
        Buttons = 32, // numbers 0 to 31 are buttons
        DPadUp = Buttons,
        DPadRight,
        DPadDown,
        DPadLeft,
        StickUp,
        StickRight,
        StickDown,
        StickLeft,
        Count
    };

    enum class Layout { Xbox, PlayStation };

    // The layout of a pad made by `vendorId` (USB vendor number).
    static Layout layoutOf(unsigned vendorId);
    // The input that button number `raw`, as the pad reports it, stands for.
    static int fromRaw(unsigned raw, Layout layout);

    // The name in the settings file: "South", "Start", "DPadUp", "Button12".
    static std::string name(int input);
    // What the screen shows: "A" on an Xbox pad, "Cross" on a PlayStation pad,
    // in the player's language.
    static std::string label(int input, Layout layout);
    // The same in English, as the settings file may give it.
    static std::string englishLabel(int input, Layout layout);
    // The input with that file name, or label on either layout ("RB", "L1"),
    // in any case.
    static bool parse(const std::string& name, int& input);
};
