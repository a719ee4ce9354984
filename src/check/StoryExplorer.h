#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <string>
#include <vector>

class GameState;

// Proves that a loaded world's story can be finished, by exploring every
// state it can reach from the start: the story part, the items worn, the
// tables defaced (which, and in which order), which victims still hold their item, where each
// warden stands, and every cell the player can walk to, given the walls and
// the warden, between one conversation and the next. The characters' rules
// are the game's own, asked of StoryRules as the characters ask them: who
// offers which conversation when, what its end does, and what the world does
// in the frame after it (victims leave, the warden returns). Every way a
// conversation can end (the answers chosen) is tried.
//
// It finds the shortest route to the ending, counted in steps walked, and
// whether any reachable state is a dead end: one from which the ending can
// no longer be reached, including a conversation that cannot be left.
class StoryExplorer {
public:
    // One conversation on the way, and the walk before it.
    struct Talk {
        std::vector<sf::Keyboard::Key> walk;            // steps of one tile: Up, Right, Down, Left
        sf::Keyboard::Key face = sf::Keyboard::Unknown; // pressed to turn towards who is spoken to;
                                                        // Unknown when the last step already faces them
        std::vector<std::vector<int>> answers;          // for each conversation that opens, the answers (1-3)
        std::string with;                               // who is spoken to, e.g. "Pim (victim)"
        int column = 0, row = 0;                        // where the player stands, in map cells
        std::string after;                              // the story afterwards, in words
        int part = -1, disguise = 0, defacedTables = 0; // ... and in the game's counters
        bool ends = false;                              // this conversation ends the game
    };

    struct Result {
        bool complete = true;       // every reachable state was explored (false: too many)
        long long states = 0;       // states explored: story states and the cells talked from
        bool endingReachable = false;
        long long steps = 0;        // steps walked on the shortest route to the ending
        std::vector<Talk> route;    // that route
        bool deadEnd = false;       // some reachable state cannot reach the ending
        std::vector<Talk> wayIn;    // the shortest way into the nearest dead end
        std::string deadEndState;   // the story there
        bool trapped = false;       // a conversation that cannot be left can be reached
        std::vector<Talk> wayToTrap;// the shortest way into it
        std::string furthest;       // when the ending cannot be reached: the furthest the story gets
        // Characters that can be faced in a reachable state with nothing to
        // say: who ("Mr. Stoat (boss)") and the first such state, in words.
        std::vector<std::pair<std::string, std::string>> silent;
        bool leavesMap = false;     // the player can walk off the edge of the map
        int leaveColumn = 0, leaveRow = 0;
    };

    // Explores `world` as the map loader built it (before its first frame).
    // Stops, with complete false, after `maxStates` states.
    static Result explore(const GameState& world, long long maxStates = 2000000);

    // "Left 3, Up 9": a walk in words.
    static std::string describeWalk(const std::vector<sf::Keyboard::Key>& walk);
};
