#pragma once

#include "check/CheckReport.h"

#include <map>
#include <string>
#include <vector>

class MapDocument;

// Checks a map and the pictures it needs: that it reads, its layers, its
// tilesets and their images (readable, big enough for every tile the cells
// use and for a victim's and a table's later looks), every used tile's
// properties and their types, the cast the story needs, and the player's
// sheet. Everything found is reported; nothing stops at the first problem.
class MapCheck {
public:
    explicit MapCheck(CheckReport& report);

    // Checks "res/maps/" + fileName. With `rethrow`, a map that cannot be read
    // at all throws the loader's own error instead of being reported.
    void run(const std::string& fileName, bool rethrow = false);

    // A cell of the map that can talk or is part of the story.
    struct Speaker {
        std::string type;     // the tile's type
        std::string name;     // as shown above the text ("undefined" without one)
        std::string dialogue; // the conversation the map names, "" for none
        std::string file;     // where the tile's properties are written
        std::string where;    // "tile 5 at 3,4": for messages
    };

    bool readable = false; // the map could be read
    std::string file;      // the map, as the game names it
    std::vector<Speaker> speakers;
    std::map<std::string, int> counts; // cells of each type

    // What SFML makes of a picture: its size, or nothing when it cannot be
    // read. Problems go to the report, naming `who` needs the picture.
    struct Picture {
        bool readable = false;
        unsigned width = 0, height = 0;
    };
    static Picture checkPicture(CheckReport& report, const std::string& path, const std::string& who);
    // Whole tiles along an edge, cut as the texture cache cuts them.
    static long long tilesAlong(unsigned length, int tileSize, int margin, int spacing);

private:
    void checkTilesets(const MapDocument& map);
    void checkCells(const MapDocument& map);
    void checkCast();
    void checkPlayerSheet(const MapDocument* map); // null when the map cannot be read

    CheckReport& report;
    std::map<std::string, long long> tilesIn; // tileset name -> tiles its picture holds; -1 unknown
};
