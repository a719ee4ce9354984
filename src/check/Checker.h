#pragma once

#include "check/CheckReport.h"

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

class Goals;

// Checks a whole resource tree the way an author needs it checked: the map,
// its pictures, the font, every conversation and the story, which is proved
// to end (StoryExplorer). Every problem is one line,
//   file[:line]: error|warning: what, and what to do
// Errors are what stops the game from starting or the story from ending.
class Checker {
public:
    Checker() = delete;

    // `tarnwick --check [DIR]` and `--route`: checks the tree in DIR (the
    // folder that holds res/, or res/ itself; "" for the working folder),
    // prints every problem, what the story exploration found (with `route`,
    // the shortest route to the ending, one conversation a line) and a
    // summary, and returns the exit status: 1 when there is an error, else 0.
    // It works inside DIR while it runs and returns to the working folder.
    static int run(const std::string& dataDir, bool route, std::ostream& out);

    // Every check, from the working folder.
    static CheckReport check(bool route = false);

    // What start-up refuses: the errors of the map, its pictures (tilesets,
    // the player's sheet) and the font, one line each. A map that cannot be
    // read at all throws the loader's own error instead.
    static std::vector<std::string> startupErrors();

    // Thrown by refuseBrokenWorld(): what() holds every error, each on a line
    // of its own with "tarnwick: " before all but the first, as the game's
    // entry point prints it after "tarnwick: ".
    struct Refused : std::runtime_error {
        explicit Refused(const std::vector<std::string>& errors);
    };
    // Start-up: throws Refused when startupErrors() finds anything.
    static void refuseBrokenWorld();

    static void checkFont(CheckReport& report);
    // Every goal line the story can show, measured against the strip at the
    // top of the picture; a line too long is a warning on `file`, naming
    // the language it is in ("" for the world's own).
    static void measureGoalLines(CheckReport& report, const Goals& goals, const std::string& file,
                                 const std::string& language);

    static constexpr const char* mapName = "testmap.json";
    static constexpr const char* fontFile = "res/fnt/LibMono.ttf";
};
