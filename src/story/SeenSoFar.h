#pragma once

#include "story/LogBook.h"
#include "story/VisitedRooms.h"

#include <string>

// What the player has seen so far in this game, besides the story itself:
// the rooms he has walked into (the map) and the conversations (the log).
// The saved game keeps it in lines of its own after the story's, one a line:
//
//     room = Lobby
//     talk = Mrs. Penrose
//     page = Good morning.\nThe list is on the board.
//     answer = Who holds livery?
//
// "talk" opens a conversation, whose pages and answers follow in order. A
// backslash, a line break, a carriage return and a tab in a value are
// written \\, \n, \r and \t. Saves made before these lines load with nothing
// seen.
class SeenSoFar {
public:
    VisitedRooms rooms;
    LogBook log;

    std::string toText() const;
    // Whether a save's line with this key is one of these.
    static bool isKey(const std::string& key);
    // Takes one such line ("key = value"): false, and why, when its value
    // cannot be read or there are too many rooms.
    bool read(const std::string& key, const std::string& value, std::string* why);

    bool operator==(const SeenSoFar& o) const { return rooms == o.rooms && log == o.log; }
    bool operator!=(const SeenSoFar& o) const { return !(*this == o); }
};
