#pragma once

#include "input/PadInputs.h"

#include <SFML/Window/Keyboard.hpp>

#include <bitset>
#include <istream>
#include <string>
#include <vector>

// The input of a game, step by step: which keys and gamepad inputs the game
// saw down in each step, kept as runs of steps with the same input, with the
// game's version and the identity of the world it was played on.
//
// Its text form, one item a line:
//   tarnwick-recording 1
//   version 1.0.0
//   world 0123456789abcdef
//   text-speed normal       how fast pages typed themselves out
//   40                      forty steps with no key down
//   12 72 73                twelve steps with keys 72 and 73 down
//   5 p0 p33                five with the pad's south button and d-pad right
//   end 57                  the number of steps, when the game ended normally
// Key numbers are the windowing library's key codes; pad inputs are numbered
// as PadInputs numbers them, after a "p". Files from before the pad was
// recorded have no pad inputs and read the same; files from before pages
// typed themselves out have no text speed: their pages showed whole at once.
class Recording {
public:
    using Keys = std::bitset<sf::Keyboard::KeyCount>;
    using Pad = std::bitset<PadInputs::Count>;
    struct Run {
        long long steps = 0;
        Keys keys;
        Pad pad;
        bool operator==(const Run& other) const
        {
            return steps == other.steps && keys == other.keys && pad == other.pad;
        }
    };

    std::string version;
    std::string world;
    // The text speed's word ("normal"); empty when the file names none.
    std::string textSpeed;
    std::vector<Run> runs;
    // The file ended with its "end" line (a game that crashed leaves none).
    bool complete = false;

    // Adds one step.
    void add(const Keys& keys, const Pad& pad = Pad());
    long long steps() const;

    // The header lines, a run's line and the closing line of the text form.
    std::string header() const;
    static std::string line(const Run& run);
    std::string footer() const;
    std::string toText() const;

    // Reads the text form; on anything malformed throws std::runtime_error
    // naming the line and what is wrong.
    static Recording parse(std::istream& in);
};
