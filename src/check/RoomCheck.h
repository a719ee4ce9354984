#pragma once

#include "check/CheckReport.h"

#include <string>

// Checks the rooms a map names (MapRooms): every cell the player can walk on
// lies in a room, and no two rooms overlap. A map that names no rooms (as
// maps made before rooms) is left alone; one the game cannot read is
// MapCheck's to report.
class RoomCheck {
public:
    explicit RoomCheck(CheckReport& report) : report(report) {}

    // Checks "res/maps/" + fileName.
    void run(const std::string& fileName);

    // Cells named in one warning at most; the rest are counted.
    static constexpr int cellsNamed = 5;

private:
    CheckReport& report;
};
