#pragma once

#include "story/SeenSoFar.h"

#include <filesystem>
#include <optional>
#include <string>

class MainState;
class StoryState;

// The one saved game: the story's state (StoryState) in a readable file
// under $XDG_DATA_HOME/tarnwick/, with the save format's version and the
// identity of the world it belongs to. Written atomically, the previous save
// kept as a backup. A save that cannot be used is never half-loaded and never
// overwritten: it is moved aside under a name with the time, and the backup
// is offered when it is sound.
class SaveGame {
public:
    struct Slot {
        bool exists = false;
        bool usable = false;
        std::string reason; // one line when unusable (or when the backup stands in)
        int part = -1;
        long long playedSteps = 0;
        bool fromBackup = false;
    };
    static std::filesystem::path folder();   // $XDG_DATA_HOME/tarnwick
    static Slot inspect();                    // what the title screen shows; never throws
    static bool restore(MainState& world);    // Continue: applies the save to a freshly built world
    static bool save(const MainState& world); // atomic, keeps a backup; false keeps the old save
                                              // (an ended story is not saved: true, nothing written)
    // The story has just ended in `world`: the save, which holds the story as
    // it was before the last conversation, is kept with the player where he
    // stood for it and the time played up to the ending, so that Continue
    // offers the last choice again. False (lastError says why) when it could
    // not be written; true when there is nothing to keep or saving is off.
    static bool keepEndingMoment(const MainState& world);
    static std::string lastError;             // why the last save() (or restore()) failed, one short line
    static bool enabled;                      // false: save() does nothing (true by default)

    // The game saves by itself at the end of a conversation that changed the
    // story (not merely where the player stands or the time played).
    static void storyChanged(MainState& world);

    static std::filesystem::path file();       // folder()/save.txt
    static std::filesystem::path backupFile(); // folder()/save.backup.txt
    // 2: what the player has seen (rooms, conversations) follows the story;
    // saves of format 1 load with nothing seen.
    static constexpr int format = 2;
    // Larger files are refused unread: no world's story needs as much.
    static constexpr std::uintmax_t maxBytes = 4u << 20;

    // The file's text for a state of the world with identity `world`, and
    // back. read() refuses (with a one-line reason) anything that is not a
    // whole, untouched save of this format or an older one, for this world.
    // What the player has seen goes with the story, and comes back in `seen`.
    static std::string compose(const StoryState& state, const std::string& world,
                               const SeenSoFar& seen = SeenSoFar());
    static std::optional<StoryState> parse(const std::string& text, const std::string& world, std::string* why,
                                           SeenSoFar* seen = nullptr);
    // Reads and parses a save file; `exists` tells whether anything is there.
    static std::optional<StoryState> read(const std::filesystem::path& path, const std::string& world,
                                          std::string* why, bool* exists = nullptr, SeenSoFar* seen = nullptr);
    // The identity of the world the game plays (its data folder is the
    // working folder); "" when it cannot be read.
    static std::string worldIdentity();

private:
    // Writes `state` as the save, the one it replaces kept as the backup.
    static bool store(const StoryState& state, const SeenSoFar& seen);
};
