#pragma once

#include <string>

class MainState;

// The shell's one door to the saved game: what the title screen shows, and
// the saving and restoring that the menus, the window and the signals ask for.
class Saves {
public:
    Saves() = delete;

    // What the title screen shows about the save.
    struct Slot {
        bool exists = false;  // there is a save (sound or not)
        bool usable = false;  // Continue can restore it
        std::string reason;   // one line: why it cannot be used, or why the backup is offered
        int part = -1;        // the story's part in it
        long long playedSteps = 0; // time played, in steps of 1/60 s
        bool fromBackup = false;   // the save was unusable; Continue takes the backup
    };

    static Slot inspect();
    // Saves the world; false (and lastError()) when the file could not be written.
    static bool write(const MainState& world);
    // Applies the save to a freshly built world; false when nothing was applied.
    static bool restore(MainState& world);
    static std::string lastError();
    // Whether saving is on at all (tests that only walk menus turn it off).
    static bool enabled();
    static void setEnabled(bool on);

    // What Continue says about a slot: "Part 2, 12 min 05 s played".
    static std::string describe(const Slot& slot);
};
