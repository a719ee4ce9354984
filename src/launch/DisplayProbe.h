#pragma once

#include <string>

// Whether the game can open a window here: an X display is named and answers.
// The windowing library ends the program when it cannot reach one, so the
// game asks first and says so in one line instead.
class DisplayProbe {
public:
    DisplayProbe() = delete;

    // "" when a display can be opened; otherwise what is wrong, one line
    // without the program's name.
    static std::string problem();
};
