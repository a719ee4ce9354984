#pragma once

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

    // Limits that keep an out-of-format map from exhausting memory or pushing
    // positions past what a sprite can show exactly. maxCells holds for the
    // cells of one layer and for the cells all layers hold together.
    static constexpr long long maxCells = 1LL << 22;
    static constexpr long long maxPixels = 1LL << 24;
};
