#pragma once

// What a map file may hold, as the map format reads it: the limits that keep
// an out-of-format map from exhausting memory, and the bits that say how a
// cell's picture is mirrored.
struct MapLimits {
    // Limits that keep an out-of-format map from exhausting memory or pushing
    // positions past what a sprite can show exactly. maxCells holds for the
    // cells of one layer and for the cells all layers hold together.
    static constexpr long long maxCells = 1LL << 22;
    static constexpr long long maxPixels = 1LL << 24;

    // How the picture is mirrored, as map editors store it with a cell: the
    // diagonal flip (top-left to bottom-right) first, then the horizontal,
    // then the vertical one.
    static constexpr unsigned flipHorizontal = 1;
    static constexpr unsigned flipVertical = 2;
    static constexpr unsigned flipDiagonal = 4;
};
