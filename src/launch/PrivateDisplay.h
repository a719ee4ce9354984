#pragma once

#include <string>

// A display of the game's own for a replay without a window: the game opens
// no window then, but its pictures and text are still made with the
// display's graphics. When no display answers, a virtual one (Xvfb) is
// started for this run alone, on a number of its own choosing, and ends
// with the game.
class PrivateDisplay {
public:
    PrivateDisplay() = delete;

    // Starts one and names it in DISPLAY; "" once it answers, otherwise why
    // not, one line without the program's name.
    static std::string start();
};
