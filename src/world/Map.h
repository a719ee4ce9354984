#pragma once

#include "mapformat/MapLimits.h"
#include "mapformat/MapRooms.h"

#include <string>

class GameState;

// Reads the JSON tile map under res/maps/ (either format MapDocument knows)
// and fills a state with one entity per non-empty cell of every tile layer.
class Map {
public:
    void loadMap(const std::string& fileName, GameState* state);

    int height = 0;   // cell rows
    int width = 0;    // cell columns
    int tileSize = 0; // side of a square tile in pixels ("tileheight")
    MapRooms rooms;   // the rooms the map names

    // The map format's limits (MapLimits), under the loader's name.
    static constexpr long long maxCells = MapLimits::maxCells;
    static constexpr long long maxPixels = MapLimits::maxPixels;
};
