#pragma once

#include <optional>
#include <string>
#include <vector>

class GameState;
class MainState;
class StoryCast;

// The story's state as one value: everything that the world's story has
// changed since it was built, and where the player stands. The world can be
// read into it (capture) and built from it (apply); it is what a save holds,
// what the checker's explorer walks through, and what a replay is compared
// with. The characters' rules are functions of it (StoryRules).
//
// Characters are named by their place in the world's list among their own
// kind (StoryCast): tables[1] is the second table of the list.
class StoryState {
public:
    enum class VictimState : char { kept = 'k', gave = 'g', left = 'l' };

    // The three story counters, as Game keeps them.
    int part = -1;
    int disguise = 0;
    int defacedTables = 0;
    // For each table: 0 untouched, else which table of the game it was
    // defaced as (1 first, 2 second, 3 third): its picture shows that.
    std::vector<int> tables;
    // For each victim: holds its item, gave it, or has left the world (what
    // it did before leaving no longer matters).
    std::vector<VictimState> victims;
    // For each warden: 1 standing aside, 0 on guard.
    std::vector<char> wardensAside;
    // The player's cell, in steps of the player's size from the world's
    // origin, and facing, as Player::direction counts (0 up, 1 left, 2 down,
    // 3 right).
    int column = 0;
    int row = 0;
    int facing = 1;
    // Time played, in the world's steps.
    long long playedSteps = 0;

    // The world as it will stand in its next frame: the story counters, the
    // characters, the player (a step under way counts as taken: it cannot be
    // stopped) and the time played. Works in the middle of a conversation too.
    static StoryState capture(const MainState& world);
    static StoryState capture(const GameState& world, const StoryCast& cast, long long playedSteps = 0);

    // Builds this state into `world`, which the map loader built from the same
    // map and in which nobody has left yet (a victim that must still be there
    // has to be). Checks everything first: false, with a reason in `why`, and
    // the world untouched, when the state cannot be the world's.
    bool apply(MainState& world, std::string* why = nullptr) const;

    // "" when the state could be reached in a world with this cast (numbers in
    // range, counters that agree with the characters, settled as after a
    // frame), else what is wrong, in a few words.
    std::string check(const StoryCast& cast) const;

    // Readable lines, "key = value", in a fixed order. fromText reads exactly
    // that (blank lines and lines starting with '#' aside) and refuses
    // anything else: a missing, repeated or unknown key, or a bad value.
    std::string toText() const;
    static std::optional<StoryState> fromText(const std::string& text, std::string* why = nullptr);
    // 16 hex digits of the text form.
    std::string digest() const;

    // The story as a world with this cast begins, after its first frame.
    static StoryState begin(const StoryCast& cast);

    // The three counters, from and into Game's.
    static StoryState fromGame();
    void toGame() const;

    bool operator==(const StoryState& other) const;
    bool operator!=(const StoryState& other) const { return !(*this == other); }
};
