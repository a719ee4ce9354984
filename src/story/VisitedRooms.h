#pragma once

#include <string>
#include <vector>

// The rooms the player has walked into in this game, by name, in the order
// he first entered them: what the Guildhall's map shows lit. The saved game
// keeps them (SeenSoFar); the story's state and the replay's digest know
// nothing of them.
class VisitedRooms {
public:
    // Notes the room the player stands in ("" for none: nothing to note).
    // True when he had not been there before.
    bool visit(const std::string& name);
    bool has(const std::string& name) const;
    const std::vector<std::string>& names() const { return list; }
    bool operator==(const VisitedRooms& other) const { return list == other.list; }

    // No map names more rooms: a save that lists more is not this game's.
    static constexpr std::size_t maxRooms = 1000;

private:
    std::vector<std::string> list;
};
